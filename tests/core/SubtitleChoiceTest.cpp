#include "core/SubtitleChoice.h"

#include "core/FormatCatalogue.h"

#include <gtest/gtest.h>

namespace {

// English forced, German text, a Finnish picture subtitle, and a file
// beside the source named like it.
SourceEntry Film() {
    SourceEntry film;
    film.subtitleTracks = {{"eng", false, true, false, "subrip", ""},
                           {"deu", false, false, false, "ass", ""},
                           {"fin", false, false, true, "dvb_subtitle", ""},
                           {"", true, false, false, "subrip", "film.srt"}};
    return film;
}

// What each choice gives to kelvoenc, and what each format leaves out.
TEST(SubtitleChoice, TheBatchsChoiceTheFilesOwnAndWhatTheFormatLeavesOut) {
    const struct {
        int subtitles;
        FileOrder order;
        int format;
        SubtitlePick pick;
        std::vector<std::string> discLanguages;
        const char* leftOut;
    } cases[] = {
        {ConversionSettings::kNoSubtitles, {}, FormatMp4H264, {}, {}, ""},
        {ConversionSettings::kForcedAndDefaultSubtitles, {}, FormatMp4H264, {{1, 4}}, {}, ""},
        {ConversionSettings::kAllSubtitles,
         {},
         FormatMp4H264,
         {{1, 2, 3, 4}},
         {},
         "1 subtitle left out: MP4 holds picture subtitles only drawn into the picture"},
        {ConversionSettings::kAllSubtitles, {}, FormatMkvH264, {{1, 2, 3, 4}}, {}, ""},
        {ConversionSettings::kAllSubtitles,
         {},
         FormatWebm,
         {{1, 2, 3, 4}},
         {},
         "1 subtitle left out: WebM holds picture subtitles only drawn into the picture"},
        {ConversionSettings::kAllSubtitles, {}, FormatDvd, {{1, 2, 3, 4}}, {"eng", "deu", "fin", ""}, ""},
        // The file's own: the one shown drawn in, the others kept beside it.
        {ConversionSettings::kNoSubtitles,
         {std::nullopt, std::vector<int>{2, 3}, 2, true},
         FormatDvd,
         {{2, 3}, 2, 2},
         {"fin"},
         ""},
        {ConversionSettings::kAllSubtitles,
         {std::nullopt, std::vector<int>{1, 2}, std::nullopt, false},
         FormatAvi,
         {{1, 2}},
         {},
         "1 subtitle left out: the format holds none, and draws one into the picture"},
        // A shown subtitle that is not kept shows nothing.
        {ConversionSettings::kNoSubtitles, {std::nullopt, std::vector<int>{}, 3, true}, FormatAvi, {}, {}, ""},
    };
    for (const auto& c : cases) {
        ConversionSettings settings;
        settings.subtitles = c.subtitles;
        settings.outputFormat = c.format;
        SourceEntry film = Film();
        film.order = c.order;
        EXPECT_EQ(SubtitleChoice::Chosen(film, settings), c.pick) << c.subtitles << " " << c.format;
        EXPECT_EQ(SubtitleChoice::DiscLanguages(film, settings), c.discLanguages) << c.subtitles << " " << c.format;
        EXPECT_EQ(SubtitleChoice::LeftOut(film, settings), c.leftOut) << c.subtitles << " " << c.format;
    }
}

}  // namespace
