#pragma once

#include "ChildProcess.h"
#include "MediaInfo.h"
#include "core/EncoderArguments.h"
#include "core/FileOrder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The most memory one encoder run may take. AddressSanitizer holds freed
// memory back (a quarter of a gigabyte by default) before it reuses it, so
// its builds get that much more. ThreadSanitizer shadows every byte the
// encoder touches, which about doubles what a large encoder takes.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr long kPeakMemoryLimitKb = (400 + 256) * 1024;
#elif defined(__SANITIZE_THREAD__)
inline constexpr long kPeakMemoryLimitKb = 2 * 400 * 1024;
#else
inline constexpr long kPeakMemoryLimitKb = 400 * 1024;
#endif

std::string FixturePath(const std::string& name);
// A test name made of a fixture's file name: "cut.avi" becomes "cut_avi".
std::string FixtureTestName(const testing::TestParamInfo<const char*>& info);
std::string KelvoencPath();

// A fresh empty folder for one test's outputs, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string Path(const std::string& name) const { return m_path + "/" + name; }
    std::vector<std::string> Entries() const;  // names of everything inside

private:
    std::string m_path;
};

// What the suite needs to know of a source, as ffprobe reads it.
struct SourceFacts {
    MediaInfo info;
    int width = 0;  // as shown, turned by its display matrix
    int height = 0;
    double frameRate = 0;     // the average rate, else the base rate
    double sampleAspect = 1;  // width / height of one pixel
    int videoPackets = 0;
    double videoSpan = 0;  // seconds the video packets cover
};
const SourceFacts& FactsOf(const std::string& fixture);

// The encoder's argument vector for a front-end argument text: the program
// path, then the text split exactly as the front-end's launcher splits it.
std::vector<std::string> EncoderArgv(const std::string& argumentText);
std::string CommandLine(const std::vector<std::string>& argv);

struct EncoderRun {
    std::vector<std::string> argv;
    ChildResult result;
    std::string Describe() const;  // command line, status and standard error, for failure messages
};

// The encoder as the front-end starts it: the argument text it would build
// for these settings (changed by `edit` before it is split), a fresh report
// channel, the output's folder as the working folder.
ChildRequest FrontEndRequest(EncoderRunValues run, const ConversionSettings& settings,
                             std::string (*edit)(std::string) = nullptr);

// Builds the argument text the front-end would build for these settings
// and runs the encoder on a fresh report channel, answering every report
// with `answer` (or 0), in the output's folder as the front-end does.
// `edit` may change the text before it is split.
EncoderRun RunFrontEndText(EncoderRunValues run, const ConversionSettings& settings, const ReportAnswer& answer = {},
                           double timeoutSeconds = 90, std::string (*edit)(std::string) = nullptr);

// One fixture converted as the front-end converts a listed file: its
// padding from the probed size and pixel shape, its frame rate, the part and
// crop `order` keeps, the output named out.<extension> in `folder`; the
// output is read when the run succeeded.
struct Converted {
    EncoderRun encoder;
    std::string path;
    MediaInfo output;
};
Converted ConvertFixture(const ScratchFolder& folder, const std::string& fixture, const ConversionSettings& settings,
                         std::string (*edit)(std::string) = nullptr, const FileOrder& order = {});

// Runs the encoder with these arguments (after the program path) and no
// report channel; `environment` adds "NAME=value" entries to its own.
EncoderRun RunArguments(const std::vector<std::string>& arguments, double timeoutSeconds,
                        const std::string& workingFolder = {}, const std::vector<std::string>& environment = {});

// Values of the reports with this code, in order.
std::vector<int> ReportValues(const ChildResult& result, ReportCode code);
