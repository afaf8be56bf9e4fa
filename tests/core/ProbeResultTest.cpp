#include "core/ProbeResult.h"

#include <gtest/gtest.h>

namespace {

// Each sound track's text follows its own report; a title too long to carry
// is cut before the first character that does not fit whole.
TEST(ProbeResult, SoundTracksKeepTheirOwnTextCutOnACharacter) {
    const std::string kept = std::string(96, 'x') + std::string(23, 'u') + "\xc3\xa4\xc3\xa4";  // "...ää"
    const std::string title = kept + "\xc3\xa4";  // the last "ä" straddles byte 128 of "ac3<TAB>" and the title
    ProbeResult probed;
    for (const auto& [track, text] : {std::pair{SoundTrackReport{"deu", 2, true, "", ""}, std::string("aac\tDeutsch")},
                                      std::pair{SoundTrackReport{"eng", 6, false, "", ""}, "ac3\t" + title}}) {
        probed.Take(ReportSoundTrack, PackSoundTrack(track));
        for (std::int32_t piece : TextPieces(text)) probed.Take(ReportSoundTrackText, piece);
    }
    const std::vector<SoundTrackReport> tracks = probed.Entry("film.mkv").soundTracks;
    ASSERT_EQ(tracks.size(), 2u);
    EXPECT_EQ(tracks[0], (SoundTrackReport{"deu", 2, true, "aac", "Deutsch"}));
    EXPECT_EQ(tracks[1].codec, "ac3");
    EXPECT_EQ(tracks[1].title, kept);
}

}  // namespace
