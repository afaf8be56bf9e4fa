#include "core/TrackWords.h"

#include "text/LanguageCodes.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace {

std::optional<int> Number(const std::string& word) {
    int number = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), number);
    if (error != std::errc() || end != word.data() + word.size()) return std::nullopt;
    return number;
}

void AddOnce(std::vector<int>& numbers, int number) {
    if (std::find(numbers.begin(), numbers.end(), number) == numbers.end()) numbers.push_back(number);
}

}  // namespace

std::vector<int> TrackWords::Matching(const std::vector<std::string>& words,
                                      const std::vector<std::string>& languages) {
    std::vector<int> numbers;
    const int count = static_cast<int>(languages.size());
    for (const std::string& word : words) {
        if (const std::optional<int> number = Number(word)) {
            if (*number >= 1 && *number <= count) AddOnce(numbers, *number);
            continue;
        }
        const std::string language = LanguageCodes::Canonical(word);
        for (int number = 1; number <= count; ++number)
            if (!language.empty() && LanguageCodes::Canonical(languages[std::size_t(number) - 1]) == language)
                AddOnce(numbers, number);
    }
    return numbers;
}
