#include "core/VideoFileFilter.h"

#include <cctype>

namespace VideoFileFilter {

const std::vector<FileFilterEntry>& Entries() {
    static const std::vector<FileFilterEntry> entries = {
        {"All support files",
         "*.avi;*.divx;*.div;*.xvid;*.mpeg;*.mpg;*.wmv;*.asf;*.asx;*.dat;*.rm;*.rmvb;*.mov;*.qt;*.3gp;*.3g2;"
         "*.mp4;*.m4v;*.flv;*.mkv;*.webm;*.ts;*.m2ts;*.mts;*.vob;*.ogv"},
        {"AVI file (*.AVI,*.DivX,*.div,*.Xvid)", "*.avi;*.divx;*.div;*.xvid"},
        {"MPEG file (*.MPEG,*.MPG,*.DAT)", "*.mpeg;*.mpg;*.dat"},
        {"WMV file (*.WMV,*.ASF,*.ASX)", "*.wmv;*.asf;*.asx"},
        {"RealMedia file (*.RM,*.RMVB)", "*.rm;*.rmvb"},
        {"QuickTime file (*.MOV,*.QT)", "*.mov;*.qt"},
        {"3GP file (*.3GP,*.3G2)", "*.3gp;*.3g2"},
        {"MP4 file (*.MP4,*.M4V)", "*.mp4;*.m4v"},
        {"Flash video file (*.FLV)", "*.flv"},
        {"All files (*.*)", "*.*"},
    };
    return entries;
}

std::string FilterText() {
    std::string text;
    for (const FileFilterEntry& entry : Entries()) text += std::string(entry.displayText) + "|" + entry.patterns + "|";
    return text + "|";
}

std::string CaseInsensitivePattern(const std::string& pattern) {
    std::string result;
    for (char c : pattern) {
        unsigned char letter = static_cast<unsigned char>(c);
        if (std::isalpha(letter)) {
            result += '[';
            result += static_cast<char>(std::tolower(letter));
            result += static_cast<char>(std::toupper(letter));
            result += ']';
        } else {
            result += c;
        }
    }
    return result;
}

std::vector<std::string> DialogNameFilters() {
    std::vector<std::string> filters;
    for (const FileFilterEntry& entry : Entries()) {
        std::string patterns;
        std::string list = entry.patterns;
        for (std::size_t start = 0; start <= list.size();) {
            std::size_t end = list.find(';', start);
            if (end == std::string::npos) end = list.size();
            std::string pattern = list.substr(start, end - start);
            // "*.*" means every file, with or without a dot in its name.
            if (!patterns.empty()) patterns += ' ';
            patterns += pattern == "*.*" ? "*" : CaseInsensitivePattern(pattern);
            start = end + 1;
        }
        filters.push_back(std::string(entry.displayText) + " (" + patterns + ")");
    }
    return filters;
}

}  // namespace VideoFileFilter
