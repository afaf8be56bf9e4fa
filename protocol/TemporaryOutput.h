#pragma once

#include <cctype>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>

// The encoder writes an output under a temporary name in the output's folder
// and gives it the output's name only when it is whole: ".kv", eight letters
// or digits, ".part". A run killed outright (SIGKILL) has no chance to remove
// its file; the front-end recognises such leftovers by this pattern. Both
// programs name temporary files only through these.
inline constexpr std::string_view kTemporaryOutputPrefix = ".kv";
inline constexpr std::string_view kTemporaryOutputSuffix = ".part";
inline constexpr std::size_t kTemporaryOutputRandomLength = 8;

// The name for these eight random letters or digits.
inline std::string TemporaryOutputName(std::string_view random) {
    return std::string(kTemporaryOutputPrefix).append(random).append(kTemporaryOutputSuffix);
}

inline bool IsTemporaryOutputName(std::string_view name) {
    if (name.size() != kTemporaryOutputPrefix.size() + kTemporaryOutputRandomLength + kTemporaryOutputSuffix.size() ||
        name.substr(0, kTemporaryOutputPrefix.size()) != kTemporaryOutputPrefix ||
        name.substr(name.size() - kTemporaryOutputSuffix.size()) != kTemporaryOutputSuffix)
        return false;
    for (char c : name.substr(kTemporaryOutputPrefix.size(), kTemporaryOutputRandomLength))
        if (!std::isalnum(static_cast<unsigned char>(c))) return false;
    return true;
}

inline constexpr const char* kTemporaryNameVariable = "KELVOENC_TEMPORARY_NAME";

// A fresh name; short, so that the longest output name the file system takes
// still leaves room for it.
inline std::string RandomTemporaryOutputName() {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    static std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<int> pick(0, sizeof kLetters - 2);
    std::string letters;
    for (std::size_t i = 0; i < kTemporaryOutputRandomLength; ++i) letters += kLetters[pick(random)];
    return TemporaryOutputName(letters);
}

// The name the front-end chose for this run, or empty when it chose none.
inline std::string TemporaryNameFromEnvironment() {
    const char* name = std::getenv(kTemporaryNameVariable);
    return name && IsTemporaryOutputName(name) ? name : "";
}

// The variable's setting for a name, "KELVOENC_TEMPORARY_NAME=.kvab12cd34.part".
inline std::string TemporaryNameSetting(const std::string& name) {
    return std::string(kTemporaryNameVariable) + "=" + name;
}
