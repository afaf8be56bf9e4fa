#include "core/DroppedPaths.h"

#include "core/VideoFileFilter.h"

#include <fnmatch.h>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace {

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// The digit run starting at `at`, without its leading zeros; `at` moves past it.
std::string TakeNumber(const std::string& text, std::size_t& at) {
    std::size_t end = at;
    while (end < text.size() && IsDigit(text[end])) ++end;
    std::size_t first = text.find_first_not_of('0', at);
    std::string number = first < end ? text.substr(first, end - first) : "";
    at = end;
    return number;
}

bool IsListedVideo(const std::string& fileName) {
    std::istringstream patterns(VideoFileFilter::Entries().front().patterns);
    for (std::string pattern; std::getline(patterns, pattern, ';');)
        if (::fnmatch(pattern.c_str(), fileName.c_str(), FNM_CASEFOLD) == 0) return true;
    return false;
}

std::vector<std::string> VideosIn(const fs::path& folder) {
    std::vector<std::string> videos;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.front() != '.' && IsListedVideo(name) && it->is_regular_file(error)) videos.push_back(name);
    }
    if (error) return {};
    std::sort(videos.begin(), videos.end(), DroppedPaths::ComesBefore);
    for (std::string& name : videos) name = (folder / name).string();
    return videos;
}

}  // namespace

std::vector<std::string> DroppedPaths::Expand(const std::vector<std::string>& paths) {
    std::vector<std::string> files;
    for (const std::string& path : paths) {
        std::error_code error;
        std::vector<std::string> videos = fs::is_directory(path, error) ? VideosIn(path) : std::vector<std::string>{};
        if (videos.empty())
            files.push_back(path);
        else
            files.insert(files.end(), videos.begin(), videos.end());
    }
    return files;
}

bool DroppedPaths::ComesBefore(const std::string& left, const std::string& right) {
    std::size_t l = 0;
    std::size_t r = 0;
    while (l < left.size() && r < right.size()) {
        if (IsDigit(left[l]) && IsDigit(right[r])) {
            const std::string a = TakeNumber(left, l);
            const std::string b = TakeNumber(right, r);
            if (a.size() != b.size()) return a.size() < b.size();
            if (a != b) return a < b;
        } else {
            if (Lower(left[l]) != Lower(right[r])) return Lower(left[l]) < Lower(right[r]);
            ++l;
            ++r;
        }
    }
    if ((l < left.size()) != (r < right.size())) return r < right.size();
    return left < right;
}
