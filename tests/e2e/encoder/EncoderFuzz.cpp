// A seeded mutation run over the suite's clips: each case damages one clip
// (flipped bytes, overwritten runs, cuts, repeats, splices) and runs the
// encoder on it as the front-end does, probe and conversion. A case fails on
// a crash, a hang, more than 400 MB of memory, an unknown status, or a
// status that claims an output (0, or 5 for an incomplete one) without a
// playable output beside it, and on a failure that leaves files behind.
//
//   encoder_fuzz [--cases N] [--seed S] [--keep FOLDER]
//
// `make test` runs a short, fixed run; for a long one pass many cases and a
// fresh seed. Failing inputs are copied to FOLDER (default: the scratch
// folder's "fuzz-failures") with the seed and case number in their names.

#include "EncoderTestSupport.h"
#include "core/FormatCatalogue.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr double kProbeTimeLimit = 40;
constexpr double kConversionTimeLimit = 60;

const char* const kClips[] = {"sample.avi", "sample.mpg", "sample.flv", "sample.mp4", "sample.wmv", "sample.mov",
                              "sample.3gp", "sample.rm", "sample.mpeg", "sample.asf", "cut.avi", "joined-pieces.ts",
                              "anamorphic.vob",
                              // Held pictures, changing sound, a display matrix, a late start, a cut.
                              "held-picture.mp4", "slideshow.mkv", "stereo-to-surround.ts", "rate-change.ts",
                              "portrait-90.mp4", "late-start.mkv", "cut.mkv",
                              // A size change under a turn, sizes at the encoders' limits, tracks to
                              // choose from, timestamps repeated or restarting.
                              "shrinking-180.mp4", "wide-8192.mkv", "interlaced-1080.ts", "empty-pid.ts",
                              "undecodable-first.mkv", "repeated-stamp.mkv", "joined-longer-sound.ts"};

// The output formats the cases take turns at.
const int kFormats[] = {FormatAvi, FormatDvd, FormatWmv, FormatMpeg1, FormatXvid};

using Bytes = std::vector<char>;
using Random = std::mt19937_64;

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::size_t Below(Random& random, std::size_t limit) {
    return limit == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, limit - 1)(random);
}

char AnyByte(Random& random) { return static_cast<char>(Below(random, 256)); }

// One damage, described for the report.
std::string Mutate(Bytes& bytes, const Bytes& other, Random& random) {
    const std::size_t size = bytes.size();
    switch (Below(random, 7)) {
    case 0: {
        std::size_t count = 1 + Below(random, 32);
        for (std::size_t i = 0; i < count; ++i) bytes[Below(random, size)] = AnyByte(random);
        return std::to_string(count) + " bytes changed";
    }
    case 1: {
        // Headers hold the sizes, rates and timestamps that damage the most.
        std::size_t count = 1 + Below(random, 16);
        for (std::size_t i = 0; i < count; ++i)
            bytes[Below(random, std::min<std::size_t>(size, 4096))] = AnyByte(random);
        return std::to_string(count) + " header bytes changed";
    }
    case 2: {
        std::size_t at = Below(random, size), length = std::min(size - at, 1 + Below(random, 8192));
        for (std::size_t i = 0; i < length; ++i) bytes[at + i] = AnyByte(random);
        return std::to_string(length) + " bytes overwritten at " + std::to_string(at);
    }
    case 3: {
        std::size_t at = 1 + Below(random, size - 1);
        bytes.resize(at);
        return "cut at " + std::to_string(at);
    }
    case 4: {
        std::size_t at = Below(random, size), length = std::min(size - at, 1 + Below(random, 65536));
        bytes.erase(bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(at + length));
        return std::to_string(length) + " bytes left out at " + std::to_string(at);
    }
    case 5: {
        std::size_t from = Below(random, size), length = std::min(size - from, 1 + Below(random, 65536));
        Bytes piece(bytes.begin() + static_cast<long>(from), bytes.begin() + static_cast<long>(from + length));
        std::size_t to = Below(random, size);
        bytes.insert(bytes.begin() + static_cast<long>(to), piece.begin(), piece.end());
        return std::to_string(length) + " bytes repeated at " + std::to_string(to);
    }
    default: {
        std::size_t head = 1 + Below(random, size - 1), tail = Below(random, other.size());
        bytes.resize(head);
        bytes.insert(bytes.end(), other.begin() + static_cast<long>(tail), other.end());
        return "spliced at " + std::to_string(head) + " onto another clip from " + std::to_string(tail);
    }
    }
}

// What is wrong with one run; empty when nothing is.
std::string Problems(const ChildResult& result, double timeLimit) {
    if (!result.started) return "could not start";
    if (result.timedOut) return "hung (killed after " + std::to_string(static_cast<int>(timeLimit)) + " s)";
    if (result.signal) return "crashed (signal " + std::to_string(result.signal) + ")";
    if (result.peakMemoryKb > kPeakMemoryLimitKb) return "used " + std::to_string(result.peakMemoryKb / 1024) + " MB";
    if (result.exitStatus < 0 || result.exitStatus > 5) return "unknown status " + std::to_string(result.exitStatus);
    return {};
}

std::string CheckConversion(const ChildResult& result, const ScratchFolder& folder, const std::string& output) {
    std::string problem = Problems(result, kConversionTimeLimit);
    if (!problem.empty()) return problem;
    std::vector<std::string> entries = folder.Entries();
    bool claimsOutput = result.Exited(0) || result.Exited(5);
    std::vector<std::string> expected;
    if (claimsOutput) expected.push_back(fs::path(output).filename().string());
    if (entries != expected)
        return "status " + std::to_string(result.exitStatus) + " left " + std::to_string(entries.size()) + " files";
    if (claimsOutput && DecodedPictures(output) <= 0)
        return "status " + std::to_string(result.exitStatus) + " without a playable output";
    return {};
}

struct Options {
    int cases = 40;
    std::uint64_t seed = 1;
    std::string keep = std::string(SCRATCH_ROOT) + "/fuzz-failures";
};

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string name = argv[i];
        if (name == "--cases")
            options.cases = std::atoi(argv[i + 1]);
        else if (name == "--seed")
            options.seed = std::strtoull(argv[i + 1], nullptr, 10);
        else if (name == "--keep")
            options.keep = argv[i + 1];
    }
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    Random random(options.seed);
    int failures = 0;
    std::vector<Bytes> clips;
    for (const char* clip : kClips) clips.push_back(ReadAll(FixturePath(clip)));
    for (int number = 1; number <= options.cases; ++number) {
        std::size_t pick = Below(random, clips.size());
        Bytes bytes = clips[pick];
        std::string damage = Mutate(bytes, clips[Below(random, clips.size())], random);
        std::string extension = fs::path(kClips[pick]).extension().string();

        ScratchFolder sources;
        ScratchFolder outputs;
        std::string source = sources.Path("case" + extension);
        WriteAll(source, bytes);
        ConversionSettings settings;
        settings.outputFormat = kFormats[number % std::size(kFormats)];
        const FramePlan frame{ResolveFrameSize(settings), {}};
        std::string output = outputs.Path("out." + OutputExtension(settings.outputFormat));

        EncoderRunValues probe{source, output, frame, EncoderProbe, 0, 0};
        ChildResult probed = RunFrontEndText(probe, settings, {}, kProbeTimeLimit).result;
        std::string problem = Problems(probed, kProbeTimeLimit);
        if (!problem.empty()) problem = "probe " + problem;
        int convertedStatus = -1;
        if (problem.empty()) {
            EncoderRunValues convert{source, output, frame, EncoderConvert, 0, 25};
            ChildResult converted = RunFrontEndText(convert, settings, {}, kConversionTimeLimit).result;
            convertedStatus = converted.exitStatus;
            problem = CheckConversion(converted, outputs, output);
            if (!problem.empty()) problem = "conversion " + problem;
        }

        std::printf("case %d (%s, %s): probe %d, conversion %d: %s\n", number, kClips[pick], damage.c_str(),
                    probed.exitStatus, convertedStatus, problem.empty() ? "ok" : problem.c_str());
        std::fflush(stdout);
        if (problem.empty()) continue;
        ++failures;
        fs::create_directories(options.keep);
        fs::copy_file(
            source,
            options.keep + "/seed" + std::to_string(options.seed) + "-case" + std::to_string(number) + extension,
            fs::copy_options::overwrite_existing);
    }
    std::printf("%d cases from seed %llu: %d failed\n", options.cases, static_cast<unsigned long long>(options.seed),
                failures);
    return failures == 0 ? 0 : 1;
}
