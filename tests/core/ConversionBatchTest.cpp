#include "core/ConversionBatch.h"

#include <gtest/gtest.h>

namespace {

SourceList Listed(std::initializer_list<const char*> paths) {
    SourceList list;
    for (const char* path : paths) list.Append({path, 60.0, 320, 240, 25.0});
    return list;
}

ConversionSettings IntoOut() {
    ConversionSettings settings;  // AVI
    settings.outputFolder = "/out/";
    return settings;
}

// How each of three files ends, the files that were never listed, and what
// the summary says of them.
enum class Ending { Whole, Short, Unreadable, Stopped, WithoutItsFile };

struct SummaryCase {
    Ending endings[3];
    int unlisted;
    const char* head;
    const char* details;  // its beginning
};

void End(ConversionBatch& batch, int index, Ending ending) {
    const EncoderExit whole{};
    const EncoderExit cut{false, static_cast<int>(ExitStatus::Incomplete), "Read error at 00:00:12\n"};
    switch (ending) {
    case Ending::Whole: return batch.Finish(index, whole, true);
    case Ending::Short: batch.NoteProgress(index, 12.4); return batch.Finish(index, cut, true);
    case Ending::Unreadable:
        return batch.Finish(index, {false, static_cast<int>(ExitStatus::SourceUnreadable), ""}, false);
    case Ending::Stopped: return batch.Stop(index);
    case Ending::WithoutItsFile: return batch.Finish(index, whole, false);
    }
}

using E = Ending;
const SummaryCase kSummaries[] = {
    {{E::Whole, E::Whole, E::Whole}, 0, "Mission accomplished! Total Time:00:01:05", ""},
    {{E::Whole, E::Whole, E::Whole}, 1, "1 of 4 files was not converted. Total Time:00:01:05", ""},
    {{E::Whole, E::Short, E::Whole},
     0,
     "1 of 3 files was converted only in part. Total Time:00:01:05",
     "These files were converted only in part:\n/clips/b.avi: only 00:00:12 of 00:01:00 converted "
     "(Read error at 00:00:12)"},
    {{E::Unreadable, E::Short, E::Stopped},
     0,
     "2 of 3 files were not converted, 1 only in part. Total Time:00:01:05",
     "These files were converted only in part:\n/clips/b.avi: only 00:00:12 of 00:01:00 converted "
     "(Read error at 00:00:12)\n\nThese files were not converted:\n/clips/a.avi: "},
    {{E::Whole, E::WithoutItsFile, E::Whole},
     0,
     "1 of 3 files was not converted. Total Time:00:01:05",
     "These files were not converted:\n/clips/b.avi: the encoder wrote no output file"},
};

}  // namespace

TEST(ConversionBatchTest, TheSummarySaysWhatBecameOfEachFile) {
    for (const SummaryCase& c : kSummaries) {
        SourceList listed = Listed({"/clips/a.avi", "/clips/b.avi", "/clips/c.avi"});
        ConversionBatch batch(listed, 0);
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(batch.PlanNext(IntoOut(), listed)) << c.head;
            End(batch, i, c.endings[i]);
        }
        EXPECT_EQ(batch.SummaryHead(65, c.unlisted), c.head);
        EXPECT_EQ(batch.SummaryDetails().substr(0, std::string(c.details).size()), c.details) << c.head;
        EXPECT_EQ(batch.SummaryDetails().empty(), std::string(c.details).empty()) << c.head;
    }
}

// A file whose chosen sound tracks do not all fit the format is converted,
// and the summary says what its output left out.
TEST(ConversionBatchTest, TheSummaryNamesTheTracksLeftOut) {
    SourceList listed;
    SourceEntry film{"/clips/film.mkv", 60.0, 320, 240, 25.0};
    film.soundTracks = {{"eng", 2, true, "aac", ""}, {"deu", 2, false, "aac", ""}, {"fra", 2, false, "aac", ""}};
    film.subtitleTracks = {{"eng", false, false, false, "subrip", ""}, {"deu", false, false, true, "dvb_subtitle", ""}};
    listed.Append(film);
    listed.Append({"/clips/clip.avi", 60.0, 320, 240, 25.0});
    ConversionSettings settings = IntoOut();
    settings.audioTracks = ConversionSettings::kAllAudioTracks;
    settings.subtitles = ConversionSettings::kAllSubtitles;
    ConversionBatch batch(listed, 0);
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(batch.PlanNext(settings, listed));
        End(batch, i, Ending::Whole);
    }
    EXPECT_EQ(batch.SummaryHead(65), "Mission accomplished! Total Time:00:01:05");
    EXPECT_EQ(batch.SummaryDetails(),
              "These files were written without some of the tracks chosen:\n"
              "/clips/film.mkv: 2 sound tracks left out: the format holds one; 1 subtitle left out: the format holds "
              "none, and draws one into the picture");
}

// Sources of one name get outputs of their own, also while the first still
// runs; a file left when the batch ended early is named as left for later.
TEST(ConversionBatchTest, EachEntryGetsAFreeNameAndItsOwnFrame) {
    SourceList listed = Listed({"/x/clip.avi", "/y/clip.avi", "/z/clip.mp4", "/w/other.avi"});
    ConversionBatch batch(listed, 0);
    std::vector<std::string> outputs;
    for (int i = 0; i < 3; ++i) {
        std::optional<ConversionBatch::RunPlan> plan = batch.PlanNext(IntoOut(), listed);
        ASSERT_TRUE(plan);
        EXPECT_EQ(plan->frame.size.width, 0);  // AVI "Original"
        outputs.push_back(plan->outputPath);
    }
    EXPECT_EQ(outputs, (std::vector<std::string>{"/out/clip.avi", "/out/clip_avi.avi", "/out/clip_mp4.avi"}));
    batch.EndEarly();
    EXPECT_FALSE(batch.PlanNext(IntoOut(), listed));
    for (int i = 0; i < 3; ++i) End(batch, i, Ending::Whole);
    EXPECT_EQ(batch.SummaryDetails(), "These files were left for later:\n/w/other.avi");
    EXPECT_FALSE(batch.AllConverted());
    EXPECT_FALSE(batch.NoneConverted());

    ConversionSettings dvd = IntoOut();
    dvd.outputFormat = FormatDvd;
    ConversionBatch second(listed, 0);
    std::optional<ConversionBatch::RunPlan> plan = second.PlanNext(dvd, listed);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->frame.size.width, 720);
    EXPECT_EQ(plan->frame.size.height, 480);
}

// A cropped file is planned with the picture it keeps: a 4:3 picture
// pillarboxed in a 16:9 frame, cropped to its 4:3, fills a 4:3 DVD; a 2.35:1
// film cropped out of its 16:9 frame gets the letterbox its shape needs on a
// 16:9 DVD. The batch counts the kept seconds.
TEST(ConversionBatchTest, ACroppedFileIsPlannedWithThePictureItKeeps) {
    SourceEntry pillarboxed{"/clips/tv.mkv", 120, 1920, 1080, 25};
    pillarboxed.order.crop = CropMode::Custom;
    pillarboxed.order.customCrop = {240, 0, 240, 0};
    pillarboxed.order.startSeconds = 20;
    SourceEntry film{"/clips/film.mkv", 120, 1920, 1080, 25};
    film.order.crop = CropMode::Automatic;
    film.order.measuredCrop = MeasuredCrop{{0, 132, 0, 132}, 10, 10};
    film.order.endSeconds = 90;
    SourceList listed;
    listed.Append(pillarboxed);
    listed.Append(film);
    ConversionSettings dvd = IntoOut();
    dvd.outputFormat = FormatDvd;
    dvd.dvdAspect = 0;  // 4:3
    ConversionBatch batch(listed, 0);
    EXPECT_DOUBLE_EQ(batch.Entry(0).durationSeconds, 100);
    EXPECT_DOUBLE_EQ(batch.Entry(1).durationSeconds, 90);

    std::optional<ConversionBatch::RunPlan> plan = batch.PlanNext(dvd, listed);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->crop, (PictureCrop{1440, 1080, 240, 0}));
    EXPECT_LE(plan->frame.pads.horizontal, 0);
    EXPECT_LE(plan->frame.pads.vertical, 0);
    EXPECT_EQ(plan->order.startSeconds, 20);

    dvd.dvdAspect = 1;  // 16:9
    plan = batch.PlanNext(dvd, listed);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->crop, (PictureCrop{1920, 816, 0, 132}));
    EXPECT_LE(plan->frame.pads.horizontal, 0);
    EXPECT_EQ(plan->frame.pads.vertical, 118);  // 480 - 480 x (16/9) / (1920/816), whole pixels

    // A preview of the film shows the picture its conversion makes.
    EncoderRunValues preview = ConversionBatch::RunValuesFor(listed.Entry(1), dvd);
    preview.outputPath = "/tmp/film.png";
    const std::string text = JoinArguments(PreviewArguments(preview, dvd, 30));
    EXPECT_NE(text.find(" -vf crop=1920:816:0:132,scale=720:-3,harddup,expand=720:480 -ss 30 3 -1"), std::string::npos)
        << text;
}
