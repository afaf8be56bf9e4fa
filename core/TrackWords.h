#pragma once

#include <string>
#include <vector>

// The tracks of one kind a list of words names, as the command line takes
// them: numbers from 1, or languages in any ISO 639 form ("de", "ger",
// "deu"), which take every track in that language.
class TrackWords {
public:
    // The matching tracks in the list's order, each once; nothing when no
    // word matches. languages: each track's, in the tracks' order.
    static std::vector<int> Matching(const std::vector<std::string>& words, const std::vector<std::string>& languages);

    template <typename Track>
    static std::vector<int> Matching(const std::vector<std::string>& words, const std::vector<Track>& tracks) {
        std::vector<std::string> languages;
        for (const Track& track : tracks) languages.push_back(track.language);
        return Matching(words, languages);
    }
};
