#include "core/OpenAddressText.h"

#include <array>
#include <sstream>
#include <string_view>
#include <utility>

namespace {

const std::array<std::pair<int, const char*>, 13> kErrorTexts{{
    {0, "The operating system is out\nof memory or resources."},
    {2, "The specified file was not found."},
    {3, "The specified path was not found."},
    {5, "The operating system denied\naccess to the specified file."},
    {8, "There was not enough memory to complete the operation."},
    {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
    {26, "A sharing violation occurred. "},
    {27, "The filename association is\nincomplete or invalid."},
    {28, "The DDE transaction could not\nbe completed because the request timed out."},
    {29, "The DDE transaction failed."},
    {30, "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
    {31, "There is no application associated\nwith the given filename extension."},
    {32, "The specified dynamic-link library was not found."},
}};

const std::array<const char*, 6> kPlaceholders{"\"%1\"", "%1", "%u", "%U", "%f", "%F"};

std::string CutAtPlaceholder(const std::string& command) {
    for (const char* placeholder : kPlaceholders) {
        std::size_t at = command.find(placeholder);
        if (at != std::string::npos) return command.substr(0, at);
    }
    return command;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char Unescaped(char c) {
    switch (c) {
    case 's': return ' ';
    case 'n': return '\n';
    case 't': return '\t';
    case 'r': return '\r';
    default: return c;
    }
}

std::string Trimmed(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    std::size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::string OpenErrorText(int code) {
    std::string text = "Unable to open hyperlink:\n\n";
    for (const auto& [errorCode, words] : kErrorTexts) {
        if (errorCode == code) return text + words;
    }
    return text + "Unknown Error (" + std::to_string(code) + ") occurred.";
}

std::optional<FallbackCommand> BuildFallbackCommand(const std::string& registeredCommand, const std::string& address) {
    std::string program = CutAtPlaceholder(registeredCommand);
    std::string text = program + " " + address;
    if (text.size() + 1 > kCommandTextCapacity) return std::nullopt;
    std::vector<std::string> arguments = SplitExecLine(program);
    if (arguments.empty()) return std::nullopt;
    arguments.push_back(address);
    return FallbackCommand{text, arguments};
}

std::vector<std::string> SplitExecLine(const std::string& commandLine) {
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    for (std::size_t i = 0; i < commandLine.size(); ++i) {
        char c = commandLine[i];
        if (quoted) {
            if (c == '\\' && i + 1 < commandLine.size() &&
                std::string_view("\"`$\\").find(commandLine[i + 1]) != std::string_view::npos) {
                current += commandLine[++i];
            } else if (c == '"') {
                quoted = false;
            } else {
                current += c;
            }
        } else if (IsBlank(c)) {
            if (inArgument) arguments.push_back(current);
            current.clear();
            inArgument = false;
        } else {
            inArgument = true;
            if (c == '"') {
                quoted = true;
            } else {
                current += c;
            }
        }
    }
    if (inArgument) arguments.push_back(current);
    return arguments;
}

namespace {

// The first value of `key` in the groups of a desktop-style key file whose
// headers `inGroup` accepts, trimmed; comments and other groups are passed over.
template <typename GroupTest>
std::optional<std::string> KeyFileValue(const std::string& content, GroupTest inGroup, const std::string& key) {
    std::istringstream lines(content);
    std::string line;
    bool inWantedGroup = false;
    while (std::getline(lines, line)) {
        line = Trimmed(line);
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            inWantedGroup = inGroup(line);
            continue;
        }
        std::size_t equals = line.find('=');
        if (inWantedGroup && equals != std::string::npos && Trimmed(line.substr(0, equals)) == key)
            return Trimmed(line.substr(equals + 1));
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> DesktopEntryExec(const std::string& content) {
    std::optional<std::string> raw = KeyFileValue(
        content, [](const std::string& group) { return group == "[Desktop Entry]"; }, "Exec");
    if (!raw) return std::nullopt;
    std::string value;
    for (std::size_t i = 0; i < raw->size(); ++i) {
        value += ((*raw)[i] == '\\' && i + 1 < raw->size()) ? Unescaped((*raw)[++i]) : (*raw)[i];
    }
    return value;
}

std::vector<std::string> DefaultEntriesFor(const std::string& mimeList, const std::string& mimeType) {
    auto defaultsGroup = [](const std::string& group) {
        return group == "[Default Applications]" || group == "[MIME Cache]";
    };
    std::vector<std::string> entries;
    std::istringstream value(KeyFileValue(mimeList, defaultsGroup, mimeType).value_or(std::string()));
    for (std::string entry; std::getline(value, entry, ';');)
        if (!Trimmed(entry).empty()) entries.push_back(Trimmed(entry));
    return entries;
}
