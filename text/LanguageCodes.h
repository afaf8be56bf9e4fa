#pragma once

#include <string>

// ISO 639 language codes as sources and discs write them: two letters
// (639-1, "de"), or three (639-2, "deu", or its older bibliographic form
// "ger"). Unknown codes are kept as they are, in lower case.
class LanguageCodes {
public:
    // The three-letter terminology form of any of the three ("de", "ger"
    // and "deu" all give "deu"); any other text in lower case.
    static std::string Canonical(const std::string& code);
    // The two-letter form a DVD's tables take; empty when there is none.
    static std::string TwoLetter(const std::string& code);
};
