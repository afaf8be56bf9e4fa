#include "text/LanguageCodes.h"

#include <algorithm>
#include <cctype>

namespace {

struct Language {
    const char* two;
    const char* terminology;
    const char* bibliographic;  // where it differs
};

// The languages films and broadcasts carry most.
constexpr Language kLanguages[] = {
    {"ar", "ara", ""},    {"bg", "bul", ""},    {"bs", "bos", ""},    {"ca", "cat", ""},    {"cs", "ces", "cze"},
    {"cy", "cym", "wel"}, {"da", "dan", ""},    {"de", "deu", "ger"}, {"el", "ell", "gre"}, {"en", "eng", ""},
    {"es", "spa", ""},    {"et", "est", ""},    {"eu", "eus", "baq"}, {"fa", "fas", "per"}, {"fi", "fin", ""},
    {"fr", "fra", "fre"}, {"ga", "gle", ""},    {"gl", "glg", ""},    {"he", "heb", ""},    {"hi", "hin", ""},
    {"hr", "hrv", ""},    {"hu", "hun", ""},    {"hy", "hye", "arm"}, {"id", "ind", ""},    {"is", "isl", "ice"},
    {"it", "ita", ""},    {"ja", "jpn", ""},    {"ka", "kat", "geo"}, {"ko", "kor", ""},    {"lt", "lit", ""},
    {"lv", "lav", ""},    {"mk", "mkd", "mac"}, {"ms", "msa", "may"}, {"mt", "mlt", ""},    {"nl", "nld", "dut"},
    {"no", "nor", ""},    {"nb", "nob", ""},    {"nn", "nno", ""},    {"pl", "pol", ""},    {"pt", "por", ""},
    {"ro", "ron", "rum"}, {"ru", "rus", ""},    {"sk", "slk", "slo"}, {"sl", "slv", ""},    {"sq", "sqi", "alb"},
    {"sr", "srp", ""},    {"sv", "swe", ""},    {"ta", "tam", ""},    {"th", "tha", ""},    {"tr", "tur", ""},
    {"uk", "ukr", ""},    {"ur", "urd", ""},    {"vi", "vie", ""},    {"zh", "zho", "chi"},
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char letter) { return static_cast<char>(std::tolower(letter)); });
    return text;
}

const Language* Find(const std::string& lower) {
    for (const Language& language : kLanguages)
        if (lower == language.two || lower == language.terminology || lower == language.bibliographic) return &language;
    return nullptr;
}

}  // namespace

std::string LanguageCodes::Canonical(const std::string& code) {
    const std::string lower = Lower(code);
    const Language* language = lower.empty() ? nullptr : Find(lower);
    return language ? language->terminology : lower;
}

std::string LanguageCodes::TwoLetter(const std::string& code) {
    const std::string lower = Lower(code);
    const Language* language = lower.empty() ? nullptr : Find(lower);
    return language ? language->two : "";
}
