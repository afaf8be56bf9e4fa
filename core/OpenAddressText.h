#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The text side of opening an address: the words for a failure and the
// command line of the program registered for web pages. No windows here.

// Results below this value are failures, as the desktop's open call gives
// them; anything from here up means the address was opened.
inline constexpr int kOpenFailureLimit = 32;
inline constexpr int kOpenSucceeded = kOpenFailureLimit + 1;

// Failure codes of the open call.
enum OpenErrorCode : int {
    kOpenOutOfResources = 0,
    kOpenFileNotFound = 2,
    kOpenPathNotFound = 3,
    kOpenAccessDenied = 5,
    kOpenNoAssociation = 31,
};

// The fallback command line, terminator included, holds this many bytes.
inline constexpr std::size_t kCommandTextCapacity = 520;

// "Unable to open hyperlink:", an empty line and the words for the code.
std::string OpenErrorText(int code);

struct FallbackCommand {
    std::string text;                    // the command line as it is run
    std::vector<std::string> arguments;  // program first
};

// The registered command cut at its address placeholder ("%1" in double
// quotes, else bare "%1", else the desktop-entry codes %u, %U, %f, %F),
// dropping the placeholder and all after it, then a blank and the address.
// The address stays one argument whatever it holds. Nothing when the
// command names no program or the line would not fit kCommandTextCapacity.
std::optional<FallbackCommand> BuildFallbackCommand(const std::string& registeredCommand, const std::string& address);

// Splits a desktop entry's command line into arguments: blanks separate
// them outside double quotes; inside, a backslash keeps the next '"', '`',
// '$' or '\' literally.
std::vector<std::string> SplitExecLine(const std::string& commandLine);

// The "Exec" value of a desktop entry file's [Desktop Entry] group, with the
// entry's escapes (\s, \n, \t, \r, \\) resolved; nothing when it has none.
std::optional<std::string> DesktopEntryExec(const std::string& content);

// The desktop entries a mimeapps.list (its [Default Applications]) or a
// mimeinfo.cache (its [MIME Cache]) names for a MIME type, in its order.
std::vector<std::string> DefaultEntriesFor(const std::string& mimeList, const std::string& mimeType);
