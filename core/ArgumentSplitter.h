#pragma once

#include <string>
#include <vector>

// Splits an argument text into arguments, read as the text is quoted for
// the log and the encoder's tests: blanks and tabs separate arguments outside double quotes; backslashes are
// literal unless they precede a double quote; 2n backslashes and a quote give
// n backslashes and toggle quoting; 2n+1 give n backslashes and a literal
// quote.
std::vector<std::string> SplitArguments(const std::string& text);

// The argument in double quotes, escaped so that SplitArguments gives it back
// unchanged whatever it holds. Text without double quotes or trailing
// backslashes comes out as "text".
std::string QuoteArgument(const std::string& argument);
