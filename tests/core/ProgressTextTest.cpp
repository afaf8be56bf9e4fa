#include "core/EncoderExit.h"
#include "text/ClockTime.h"
#include "text/ProgressText.h"

#include <gtest/gtest.h>

#include <csignal>

namespace {

TEST(ConvertingTitleTest, NamesTheFileAndItsPlace) {
    EXPECT_EQ(ConvertingTitle(3, 8, "/home/ann/clips/party.avi"), "Converting 3 of 8 \u2014 party.avi");
    // A percent sign in a name is text, not a format.
    EXPECT_EQ(ConvertingTitle(1, 1, "100%d.mpg"), "Converting 1 of 1 \u2014 100%d.mpg");
    EXPECT_EQ(ConvertingTitle({3, 4}, 10), "Converting 3 and 4 of 10");
    EXPECT_EQ(ConvertingTitle({1, 5, 12}, 12), "Converting 1, 5 and 12 of 12");
}

TEST(FormatClockTest, HoursAreNotCapped) {
    EXPECT_EQ(FormatClock(0), "00:00:00");
    EXPECT_EQ(FormatClock(3725), "01:02:05");
    EXPECT_EQ(FormatClock(360000), "100:00:00");
}

// A film's times as people type them, read and written back the same in
// every locale; what is not a time is refused, not read as 0.
TEST(ClockTimeTest, ReadsWhatPeopleTypeAndWritesHundredths) {
    EXPECT_EQ(FormatClockTime(3725.5), "01:02:05.50");
    EXPECT_EQ(FormatClockTime(59.999), "00:01:00.00");
    const struct {
        const char* text;
        std::optional<double> seconds;
    } rows[] = {{"01:02:05.50", 3725.5}, {"2:03.5", 123.5},         {"63", 63.0},           {"10.25", 10.25},
                {"100:00:00", 360000.0}, {"", std::nullopt},        {"1:60", std::nullopt}, {"-5", std::nullopt},
                {"1,5", std::nullopt},   {"1:2:3:4", std::nullopt}, {".", std::nullopt},    {"12s", std::nullopt},
                {"1.2.3", std::nullopt}};
    for (const auto& row : rows) EXPECT_EQ(ParseClockTime(row.text), row.seconds) << row.text;
}

struct DisplayCase {
    double value, done, total;
    std::uint32_t elapsedMs;
    const char* text;
    int bar;
    const char* timeLeft;
};

TEST(ProgressDisplayTest, TextAndBarOfABatch) {
    const DisplayCase cases[] = {
        {50, 200, 1000, 30000, "Total time:00:02:00;Elapsed time:00:00:30;Finished 25.0%", 250, "Time left: 00:01:30"},
        {48, 200, 1000, 62000, "Total time:00:04:10;Elapsed time:00:01:02;Finished 24.8%", 248, "Time left: 00:03:08"},
        // Nothing done yet: the estimate is the batch's media duration.
        {0, 0, 1000.7, 1500, "Total time:00:16:40;Elapsed time:00:00:01;Finished 0.0%", 0, "Time left: 00:16:39"},
        {1000, 0, 1000, 4000, "Total time:00:00:04;Elapsed time:00:00:04;Finished 100.0%", 1000, "Time left: 00:00:00"},
    };
    for (const DisplayCase& c : cases) {
        auto display = ComputeProgressDisplay(c.value, c.done, c.total, c.elapsedMs);
        ASSERT_TRUE(display) << c.text;
        EXPECT_EQ(display->text, c.text);
        EXPECT_EQ(display->barPosition, c.bar);
        EXPECT_EQ(display->timeLeft, c.timeLeft);
    }
}

TEST(ProgressDisplayTest, PositionsOutsideTheBatchShowNothing) {
    EXPECT_FALSE(ComputeProgressDisplay(801, 200, 1000, 1000));  // beyond the total
    EXPECT_FALSE(ComputeProgressDisplay(-5, 0, 1000, 1000));
    EXPECT_FALSE(ComputeProgressDisplay(0, 0, 0, 1000));  // nothing to measure against
}

TEST(EncoderExitTest, TheReasonIsTheLastThingTheEncoderSaid) {
    EncoderExit failed{false, 1, "Opening input\nCannot open a.avi: No such file\n\n  \n"};
    EXPECT_FALSE(failed.Succeeded());
    EXPECT_EQ(failed.FailureReason(), "the encoder refused its arguments (Cannot open a.avi: No such file)");

    EncoderExit silent{false, 3, ""};
    EXPECT_EQ(silent.FailureReason(), "the output file cannot be written");
    // Running out of memory is not a full disk.
    EXPECT_EQ((EncoderExit{false, 6, ""}).FailureReason(), "the encoder ran out of memory");
    EXPECT_EQ((EncoderExit{false, 42, ""}).FailureReason(), "the encoder ended with exit status 42");

    EncoderExit crashed{true, SIGSEGV, "encoding frame 12\n"};
    EXPECT_EQ(crashed.FailureReason().rfind("the encoder was stopped by signal 11", 0), 0u);

    EXPECT_TRUE((EncoderExit{false, 0, "warning only\n"}).Succeeded());
}

}  // namespace
