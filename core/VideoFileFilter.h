#pragma once

#include <string>
#include <vector>

// The filter of the "Import video files" dialog: ten entries, each a display
// text and a ";"-separated pattern list.
struct FileFilterEntry {
    const char* displayText;
    const char* patterns;
};

namespace VideoFileFilter {

const std::vector<FileFilterEntry>& Entries();

// The whole filter as one text: every entry as "display|patterns|", closed by
// one more "|" (so it ends with "All files (*.*)|*.*||").
std::string FilterText();

// The same entries as the desktop's file dialog takes them, one name filter
// each, "display (patterns)". Patterns match regardless of letter case (so
// CLIP.AVI is offered for *.avi); "*.*" offers every file.
std::vector<std::string> DialogNameFilters();

// A glob pattern that matches its letters in either case: "*.avi" gives
// "*.[aA][vV][iI]".
std::string CaseInsensitivePattern(const std::string& pattern);

}  // namespace VideoFileFilter
