#include "core/SoundTrackChoice.h"
#include "core/TrackWords.h"

#include "core/FormatCatalogue.h"

#include <gtest/gtest.h>

namespace {

// English, German (played first), French, and one without a language.
SourceEntry Film() {
    SourceEntry film;
    film.soundTracks = {{"eng", 2, false, "aac", ""},
                        {"ger", 6, true, "aac", ""},
                        {"fra", 2, false, "aac", ""},
                        {"", 2, false, "aac", ""}};
    return film;
}

TEST(SoundTrackChoice, AllTracksLeadWithTheOnePlayedFirstAndAFilesOwnChoiceWins) {
    ConversionSettings all;
    all.audioTracks = ConversionSettings::kAllAudioTracks;
    all.outputFormat = FormatDvd;
    SourceEntry film = Film();
    EXPECT_EQ(SoundTrackChoice::Chosen(film, ConversionSettings{}), std::vector<int>{});
    EXPECT_EQ(SoundTrackChoice::Chosen(film, all), (std::vector<int>{2, 1, 3, 4}));
    EXPECT_EQ(SoundTrackChoice::Languages(film, all), (std::vector<std::string>{"ger", "eng", "fra", ""}));
    EXPECT_EQ(SoundTrackChoice::Languages(film, ConversionSettings{}), std::vector<std::string>{"ger"});
    film.order.soundTracks = std::vector<int>{3};
    EXPECT_EQ(SoundTrackChoice::Chosen(film, all), std::vector<int>{3});
    // One track gives no word at all, so the argument text stays as it was.
    SourceEntry single;
    single.soundTracks = {{"eng", 2, true, "aac", ""}};
    EXPECT_EQ(SoundTrackChoice::Chosen(single, all), std::vector<int>{});
}

TEST(SoundTrackChoice, ListsMatchNumbersAndLanguagesInAnyForm) {
    const struct {
        std::vector<std::string> words;
        std::vector<int> tracks;
    } cases[] = {
        {{"de"}, {2}},      {{"deu"}, {2}},   {{"GER"}, {2}}, {{"fr", "en"}, {3, 1}}, {{"3", "1", "3"}, {3, 1}},
        {{"en", "1"}, {1}}, {{"5", "0"}, {}}, {{"ja"}, {}},   {{"und"}, {}},
    };
    for (const auto& c : cases) {
        std::string words;
        for (const std::string& word : c.words) words += word + " ";
        EXPECT_EQ(TrackWords::Matching(c.words, Film().soundTracks), c.tracks) << words;
    }
}

}  // namespace
