#include "EncoderTestSupport.h"

#include "core/ArgumentSplitter.h"
#include "core/ConversionBatch.h"
#include "core/FormatCatalogue.h"
#include "core/Padding.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

std::string FixturePath(const std::string& name) { return std::string(FIXTURE_FOLDER) + "/" + name; }

std::string FixtureTestName(const testing::TestParamInfo<const char*>& info) {
    std::string name;
    for (const char* c = info.param; *c; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

std::string KelvoencPath() { return KELVOENC_PATH; }

ScratchFolder::ScratchFolder() {
    fs::create_directories(SCRATCH_ROOT);
    std::string pattern = std::string(SCRATCH_ROOT) + "/run-XXXXXX";
    if (mkdtemp(pattern.data())) m_path = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    if (!m_path.empty()) fs::remove_all(m_path, ignored);
}

std::vector<std::string> ScratchFolder::Entries() const {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(m_path))
        names.push_back(entry.path().filename().string());
    return names;
}

const SourceFacts& FactsOf(const std::string& fixture) {
    static std::map<std::string, SourceFacts> known;
    auto found = known.find(fixture);
    if (found != known.end()) return found->second;
    SourceFacts facts;
    facts.info = ReadMediaInfo(FixturePath(fixture));
    if (const StreamInfo* video = facts.info.First("video")) {
        facts.width = static_cast<int>(video->Number("width"));
        facts.height = static_cast<int>(video->Number("height"));
        facts.frameRate = video->Rate("avg_frame_rate");
        if (facts.frameRate == 0) facts.frameRate = video->Rate("r_frame_rate");
        if (video->SampleAspect() > 0) facts.sampleAspect = video->SampleAspect();
        // A display matrix's quarter turn shows the picture on its side.
        if (video->Number("side_data_list.side_data.0.rotation") % 180 != 0) {
            std::swap(facts.width, facts.height);
            facts.sampleAspect = 1 / facts.sampleAspect;
        }
        facts.videoPackets = video->packets;
        facts.videoSpan = video->Span();
    }
    return known.emplace(fixture, std::move(facts)).first->second;
}

std::vector<std::string> EncoderArgv(const std::string& argumentText) {
    std::vector<std::string> argv{KelvoencPath()};
    for (std::string& argument : SplitArguments(argumentText)) argv.push_back(std::move(argument));
    return argv;
}

std::string CommandLine(const std::vector<std::string>& argv) {
    std::string line;
    for (const std::string& argument : argv) {
        if (!line.empty()) line += ' ';
        bool plain = !argument.empty() && argument.find_first_of(" \t\"'\\$") == std::string::npos;
        line += plain ? argument : "'" + argument + "'";
    }
    return line;
}

std::string EncoderRun::Describe() const {
    std::ostringstream text;
    text << "command: " << CommandLine(argv) << "\n";
    if (!result.started) text << "the encoder could not be started\n";
    if (result.timedOut) text << "killed after the time limit\n";
    if (result.signal) text << "ended by signal " << result.signal << "\n";
    text << "exit status: " << result.exitStatus << "\nstandard error:\n" << result.err;
    return text.str();
}

ChildRequest FrontEndRequest(EncoderRunValues run, const ConversionSettings& settings,
                             std::string (*edit)(std::string)) {
    ChannelPair channel = MakeReportChannel();
    run.handle = channel.childEnd;
    std::string text = JoinArguments(ConversionArguments(run, settings));
    if (edit) text = edit(text);

    ChildRequest request;
    request.arguments = EncoderArgv(text);
    request.workingFolder = fs::path(run.outputPath).parent_path().string();
    request.channelChildEnd = channel.childEnd;
    request.channelParentEnd = channel.parentEnd;
    return request;
}

EncoderRun RunFrontEndText(EncoderRunValues run, const ConversionSettings& settings, const ReportAnswer& answer,
                           double timeoutSeconds, std::string (*edit)(std::string)) {
    ChildRequest request = FrontEndRequest(std::move(run), settings, edit);
    request.timeoutSeconds = timeoutSeconds;
    request.answer = answer;
    EncoderRun encoderRun;
    encoderRun.argv = request.arguments;
    encoderRun.result = RunChild(request);
    return encoderRun;
}

Converted ConvertFixture(const ScratchFolder& folder, const std::string& fixture, const ConversionSettings& settings,
                         std::string (*edit)(std::string), const FileOrder& order) {
    const SourceFacts& source = FactsOf(fixture);
    SourceEntry entry{FixturePath(fixture), 0.0, source.width, source.height, source.frameRate, source.sampleAspect};
    entry.order = order;
    Converted converted;
    converted.path = folder.Path("out." + OutputExtension(settings.outputFormat));
    EncoderRunValues run = ConversionBatch::RunValuesFor(entry, settings);
    run.outputPath = converted.path;
    converted.encoder = RunFrontEndText(run, settings, {}, 90, edit);
    if (converted.encoder.result.Exited(0)) converted.output = ReadMediaInfo(converted.path);
    return converted;
}

EncoderRun RunArguments(const std::vector<std::string>& arguments, double timeoutSeconds,
                        const std::string& workingFolder, const std::vector<std::string>& environment) {
    EncoderRun encoderRun;
    encoderRun.argv = {KelvoencPath()};
    encoderRun.argv.insert(encoderRun.argv.end(), arguments.begin(), arguments.end());
    ChildRequest request;
    request.arguments = encoderRun.argv;
    request.workingFolder = workingFolder;
    request.timeoutSeconds = timeoutSeconds;
    request.environment = environment;
    encoderRun.result = RunChild(request);
    return encoderRun;
}

std::vector<int> ReportValues(const ChildResult& result, ReportCode code) {
    std::vector<int> values;
    for (const ReportFrame& frame : result.reports)
        if (frame.code == code) values.push_back(frame.value);
    return values;
}
