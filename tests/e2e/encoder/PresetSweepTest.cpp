// Every quality preset with every audio codec the settings dialog offers,
// for each format whose pieces differ: the encoder must convert each one,
// picking values its libraries accept where a preset asks for one they
// refuse. One-second clips keep the sweep short; the sources alternate
// between mono 22.05 kHz and 5.1 48 kHz, the two ends encoders trip on.

#include "EncoderTestSupport.h"
#include "core/Padding.h"
#include "core/FormatCatalogue.h"

#include <gtest/gtest.h>

namespace {

const char* const kSweepSources[] = {"tiny-mono.avi", "tiny-surround.mp4"};

std::string FormatName(const testing::TestParamInfo<int>& info) {
    const char* names[] = {"Avi", "Mpeg1", "Mpeg2", "Divx", "Xvid", "Vcd", "Svcd", "Dvd", "Wmv", "Asf"};
    return names[info.param];
}

class EveryPreset : public testing::TestWithParam<int> {};

TEST_P(EveryPreset, Converts) {
    const int format = GetParam();
    const std::size_t qualities = FormatCatalogue::QualityList(format).entries.size();
    const ChoiceList audioCodecs = FormatCatalogue::AudioCodecList(format);
    const ChoiceList videoCodecs = FormatCatalogue::VideoCodecList(format);
    int run = 0;
    for (std::size_t quality = 0; quality < qualities; ++quality) {
        for (std::size_t audio = 0; audio < audioCodecs.entries.size(); ++audio, ++run) {
            ConversionSettings settings;
            settings.outputFormat = format;
            settings.*FormatCatalogue::QualityField(format) = static_cast<int>(quality);
            if (audioCodecs.enabled) settings.*audioCodecs.storeTo = static_cast<int>(audio);
            if (videoCodecs.enabled) settings.*videoCodecs.storeTo = run % static_cast<int>(videoCodecs.entries.size());
            settings.tvMode = run % 2;
            const char* fixture = kSweepSources[run % 2];
            const SourceFacts& source = FactsOf(fixture);
            EncodeTargets targets;
            Padding pads = ComputePadding(settings, targets, source.width, source.height);
            ScratchFolder folder;
            EncoderRunValues values{FixturePath(fixture), folder.Path("out." + OutputExtension(format)),
                                    pads.horizontal, pads.vertical, EncoderConvert, 0, source.frameRate};
            EncoderRun encoder = RunFrontEndText(values, settings, targets);

            SCOPED_TRACE(encoder.Describe());
            ASSERT_TRUE(encoder.result.Exited(0)) << "quality " << quality << ", audio codec " << audio;
            MediaInfo output = ReadMediaInfo(values.outputPath, false);
            EXPECT_EQ(output.Count("video"), 1);
            EXPECT_EQ(output.Count("audio"), 1);
        }
    }
}

// DivX and Xvid are AVI with one codec fixed, so AVI's sweep covers them.
INSTANTIATE_TEST_SUITE_P(Presets, EveryPreset,
                         testing::Values(FormatAvi, FormatMpeg1, FormatMpeg2, FormatVcd, FormatSvcd, FormatDvd,
                                         FormatWmv, FormatAsf),
                         FormatName);

}  // namespace
