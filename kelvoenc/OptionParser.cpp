#include "kelvoenc/OptionParser.h"

#include "kelvoenc/EncoderFailure.h"
#include "protocol/ArgumentWords.h"
#include "protocol/EncoderMode.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <sstream>

struct OptionParser::OptionSpec {
    const char* name;
    const char* value;  // how the value looks, for the usage text
    const char* meaning;
    void (OptionParser::*apply)(const std::string&);
};

namespace {

// SVT-AV1 numbers its presets from 0, the slowest.
constexpr int kFastestAv1Preset = 13;

[[noreturn]] void Refuse(const std::string& sentence) { throw EncoderFailure(ExitStatus::BadArguments, sentence); }

// Words broken into lines of the help's width, later lines indented.
std::string Wrapped(const std::string& words, std::size_t indent) {
    constexpr std::size_t kWidth = 79;
    std::string text, line;
    std::istringstream stream(words);
    for (std::string word; stream >> word;) {
        if (!line.empty() && indent + line.size() + 1 + word.size() > kWidth) {
            text += line + "\n" + std::string(indent, ' ');
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    return text + line;
}

std::vector<std::string> SplitAt(const std::string& text, const std::string& separators) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (true) {
        auto end = text.find_first_of(separators, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

struct Item {
    std::string key;
    std::string value;
    bool hasValue = false;
};

Item SplitItem(const std::string& text) {
    auto equals = text.find('=');
    if (equals == std::string::npos) return {text, "", false};
    return {text.substr(0, equals), text.substr(equals + 1), true};
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// "<what>: "<value>" <fault>."
[[noreturn]] void RefuseValue(const std::string& what, const std::string& value, const std::string& fault) {
    Refuse(what + ": " + Quoted(value) + " " + fault + ".");
}

[[noreturn]] void RefuseUnknownItem(const std::string& option, const std::string& item) {
    Refuse(option + ": unknown item " + Quoted(item) + ".");
}

int ParseInteger(const std::string& text, const std::string& what) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        RefuseValue(what, text, "is not a whole number");
    return value;
}

int ParsePositive(const std::string& text, const std::string& what) {
    int value = ParseInteger(text, what);
    if (value <= 0) RefuseValue(what, text, "is not a positive whole number");
    return value;
}

// "N,N...": positive numbers separated by commas.
std::vector<int> ParseNumberList(const std::string& value, const std::string& what) {
    std::vector<int> numbers;
    std::size_t from = 0;
    while (from <= value.size()) {
        const std::size_t comma = std::min(value.find(',', from), value.size());
        numbers.push_back(ParsePositive(value.substr(from, comma - from), what));
        from = comma + 1;
    }
    return numbers;
}

// Bitrates may come as 0 from settings the front-end does not check; the
// encoder then uses its own default.
int ParseRate(const std::string& text, const std::string& what) {
    int value = ParseInteger(text, what);
    if (value < 0) RefuseValue(what, text, "is a negative rate");
    return value;
}

double ParseDecimal(const std::string& text, const std::string& what) {
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        RefuseValue(what, text, "is not a number");
    return value;
}

Fraction Reduced(long long num, long long den) {
    long long divisor = std::gcd(num, den);
    if (divisor > 1) num /= divisor, den /= divisor;
    return {static_cast<int>(num), static_cast<int>(den)};
}

Fraction FractionOfDecimal(double value, const std::string& text, const std::string& what) {
    if (value < 0 || value > 1e6) RefuseValue(what, text, "is out of range");
    long long den = 1000000;
    while (value * den > INT_MAX) den /= 10;
    return Reduced(std::llround(value * den), den);
}

bool IsWholeNumber(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// "N/D" (either side may carry decimals, as in 2.21/1) or a decimal; kept to
// six decimals unless both sides are whole.
Fraction ParseFraction(const std::string& text, const std::string& what) {
    auto slash = text.find('/');
    if (slash == std::string::npos) return FractionOfDecimal(ParseDecimal(text, what), text, what);
    const std::string numText = text.substr(0, slash);
    const std::string denText = text.substr(slash + 1);
    if (IsWholeNumber(numText) && IsWholeNumber(denText)) {
        int num = ParseInteger(numText, what);
        int den = ParseInteger(denText, what);
        if (den <= 0) RefuseValue(what, text, "is not a positive ratio");
        return Reduced(num, den);
    }
    double num = ParseDecimal(numText, what);
    double den = ParseDecimal(denText, what);
    if (num < 0 || den <= 0) RefuseValue(what, text, "is not a positive ratio");
    return FractionOfDecimal(num / den, text, what);
}

// h:m:s, m:s or seconds; the last part may carry decimals.
double ParseTime(const std::string& text, const std::string& what) {
    auto parts = SplitAt(text, ":");
    if (parts.size() > 3) RefuseValue(what, text, "is not a time (h:m:s or seconds)");
    double seconds = 0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        double part = i + 1 == parts.size() ? ParseDecimal(parts[i], what) : ParseInteger(parts[i], what);
        if (part < 0) RefuseValue(what, text, "is a negative time");
        seconds = seconds * 60 + part;
    }
    return seconds;
}

// "+5db", "-3dB", "2.5": the gain in decibels.
double ParseGain(const std::string& text, const std::string& what) {
    std::string number = text;
    if (number.size() > 2) {
        std::string suffix = number.substr(number.size() - 2);
        if (suffix == "db" || suffix == "dB" || suffix == "DB") number.resize(number.size() - 2);
    }
    if (!number.empty() && number.front() == '+') number.erase(0, 1);
    return ParseDecimal(number, what);
}

template <typename Choice>
struct NamedChoice {
    const char* name;
    Choice value;
};

template <typename Choice, std::size_t Count>
Choice ParseChoice(const std::string& text, const NamedChoice<Choice> (&choices)[Count], const std::string& what) {
    for (const NamedChoice<Choice>& choice : choices)
        if (text == choice.name) return choice.value;
    RefuseValue(what, text, "is not a known choice");
}

void RequireValue(const Item& item, const std::string& what) {
    if (!item.hasValue || item.value.empty()) Refuse(what + " needs a value.");
}

// crop=W:H:X:Y: even sides and a place inside the picture, which is
// checked against the source once it is open.
CropRectangle ParseCrop(const Item& item) {
    const std::string what = "-vf crop";
    RequireValue(item, what);
    auto numbers = SplitAt(item.value, ":");
    if (numbers.size() != 4) RefuseValue(what, item.value, "is not W:H:X:Y");
    CropRectangle crop{ParseInteger(numbers[0], what), ParseInteger(numbers[1], what), ParseInteger(numbers[2], what),
                       ParseInteger(numbers[3], what)};
    if (crop.width <= 0 || crop.height <= 0 || crop.width % 2 || crop.height % 2)
        RefuseValue(what, item.value, "does not keep a part of even width and height");
    if (crop.x < 0 || crop.y < 0) RefuseValue(what, item.value, "does not start inside the picture");
    return crop;
}

// Items such as "vhq" are switches; "vhq=0" turns them off.
bool SwitchValue(const Item& item, const std::string& what) {
    return !item.hasValue || ParseInteger(item.value, what) != 0;
}

namespace W = ArgumentWord;
namespace K = ArgumentKey;

constexpr NamedChoice<VideoCodecChoice> kLavcVideoCodecs[] = {
    {W::kMpeg4, VideoCodecChoice::Mpeg4},       {W::kMpeg1Video, VideoCodecChoice::Mpeg1},
    {W::kMpeg2Video, VideoCodecChoice::Mpeg2},  {W::kWmv2, VideoCodecChoice::Wmv2},
    {W::kMsmpeg4, VideoCodecChoice::Msmpeg4v3}, {W::kMsmpeg4v2, VideoCodecChoice::Msmpeg4v2},
    {W::kLibx264, VideoCodecChoice::H264},      {W::kLibx265, VideoCodecChoice::H265},
    {W::kLibsvtav1, VideoCodecChoice::Av1},
};

int ParseQualityFactor(const std::string& text, const std::string& what) {
    int factor = ParseInteger(text, what);
    if (factor < 0 || factor > 63) RefuseValue(what, text, "is not a quality factor from 0 to 63");
    return factor;
}

// A name for H.264 and H.265, a number for AV1.
std::string ParseSpeedPreset(const std::string& text, const std::string& what) {
    for (const char* preset : W::kSpeedPresets)
        if (text == preset) return text;
    if (!text.empty() && text.size() <= 2 &&
        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
        std::stoi(text) <= kFastestAv1Preset)
        return text;
    RefuseValue(what, text, "is not a speed preset from ultrafast to placebo, or from 0 to 13");
}

constexpr NamedChoice<AudioCodecChoice> kLavcAudioCodecs[] = {
    {W::kMp2, AudioCodecChoice::Mp2},     {W::kAc3, AudioCodecChoice::Ac3}, {W::kWmav1, AudioCodecChoice::Wmav1},
    {W::kWmav2, AudioCodecChoice::Wmav2}, {W::kAac, AudioCodecChoice::Aac}, {W::kOpus, AudioCodecChoice::Opus},
};

constexpr NamedChoice<ContainerChoice> kLavfFormats[] = {
    {W::kAvi, ContainerChoice::Avi},           {W::kMpg, ContainerChoice::Mpg},   {W::kMpeg, ContainerChoice::Mpg},
    {W::kWmv, ContainerChoice::Asf},           {W::kAsf, ContainerChoice::Asf},   {W::kMp4, ContainerChoice::Mp4},
    {W::kMatroska, ContainerChoice::Matroska}, {W::kWebm, ContainerChoice::WebM},
};

constexpr NamedChoice<ContainerChoice> kMpegFormats[] = {
    {W::kXvcd, ContainerChoice::Vcd},  {W::kVcd, ContainerChoice::Vcd}, {W::kXsvcd, ContainerChoice::Svcd},
    {W::kSvcd, ContainerChoice::Svcd}, {W::kDvd, ContainerChoice::Dvd},
};

}  // namespace

std::span<const OptionParser::OptionSpec> OptionParser::Options() {
    static constexpr OptionSpec kOptions[] = {
        {"-o", "OUTPUT", "the file to write", &OptionParser::SetOutput},
        {"-oac", "mp3lame|lavc", "audio encoder: MP3 through LAME, or acodec of -lavcopts",
         &OptionParser::SetAudioEncoder},
        {"-ovc", "lavc|xvid", "video encoder: vcodec of -lavcopts, or Xvid", &OptionParser::SetVideoEncoder},
        {"-lavcopts", "ITEM:ITEM...",
         "vcodec=mpeg4|mpeg1video|mpeg2video|wmv2|msmpeg4|msmpeg4v2|libx264|libx265|libsvtav1,\n"
         "vbitrate=KBIT, vqmin=Q, vqmax=Q, vqscale=Q, vhq, keyint=FRAMES,\n"
         "vrc_buf_size=KBIT, vrc_minrate=KBIT, vrc_maxrate=KBIT,\n"
         "crf=0..51 and preset=ultrafast..placebo (libx264, libx265), crf=0..63 and preset=0..13 (libsvtav1),\n"
         "acodec=mp2|ac3|wmav1|wmav2|aac|opus, abitrate=KBIT, autoaspect=1, aspect=W/H",
         &OptionParser::ParseLavcOptions},
        {"-lameopts", "ITEM:ITEM...",
         "vbr=0 (CBR) | 3 (ABR) | other (VBR), br=KBIT,\nmode=0 stereo | 1 joint | 2 dual | 3 mono",
         &OptionParser::ParseLameOptions},
        {"-xvidencopts", "ITEM:ITEM...", "bitrate=KBIT, autoaspect=1", &OptionParser::ParseXvidOptions},
        {"-ffourcc", "XXXX", "the FourCC written for the video stream", &OptionParser::SetFourcc},
        {"-of", "lavf|mpeg", "container family; -lavfopts or -mpegopts name the format",
         &OptionParser::SetOutputFamily},
        {"-lavfopts", "ITEM:ITEM...",
         "format=avi|mpg|wmv|asf|mp4|matroska|webm,\ni_certify_that_my_video_stream_does_not_use_b_frames",
         &OptionParser::ParseLavfOptions},
        {"-mpegopts", "format=NAME", "xvcd (VCD), xsvcd (SVCD) or dvd", &OptionParser::ParseMpegOptions},
        {"-af", "ITEM:ITEM...", "volume=+-Ndb[:0|1 soft clip], channels=N, lavcresample=RATE",
         &OptionParser::ParseAudioFilters},
        {"-srate", "RATE", "output sample rate in Hz", &OptionParser::SetSampleRate},
        {"-vf", "FILTER,...",
         "crop=W:H:X:Y (first: the part of the upright picture kept, even sides),\n"
         "scale=W:H (-3: from the other side, keeping the aspect, even),\n"
         "harddup, expand=W:H (pad centred with black)",
         &OptionParser::ParseVideoFilters},
        {"-sws", "N",
         "scaler: 0 fast bilinear, 1 bilinear, 2 bicubic, 3 experimental,\n"
         "4 point, 5 area, 6 bicublin, 7 gauss, 8 sinc, 9 lanczos, 10 spline",
         &OptionParser::SetScaler},
        {"-ofps", "RATE", "output frame rate (N/D or decimal); 1000 or more keeps\nthe source's own frames and timing",
         &OptionParser::SetFrameRate},
        {"-ss", "TIME", "start at the first picture at or after this source time\n(h:m:s or seconds)",
         &OptionParser::SetStartPosition},
        {"-endpos", "TIME", "stop at this source time (h:m:s or seconds)", &OptionParser::SetEndPosition},
        {"-audiotracks", "N,N...",
         "the source's sound tracks to keep, numbered from 1 in its order;\nwithout it, the one players pick",
         &OptionParser::SetSoundTracks},
        {"-subtitles", "N,N...",
         "the subtitle tracks to keep, numbered from 1: the source's own in its\n"
         "order, then the subtitle files beside it (NAME.srt, NAME.LANG.srt, .ass,\n"
         ".ssa, .vtt) in the order of their names; formats without subtitle\n"
         "tracks burn one into the picture",
         &OptionParser::SetSubtitleTracks},
        {"-shownsubtitle", "N", "the subtitle track players show from the start", &OptionParser::SetShownSubtitle},
        {"-burnsubtitle", "N", "the subtitle track drawn into the picture", &OptionParser::SetBurnedSubtitle},
        {"-still", "TIME",
         "a still: the source's first picture held this long,\nwith silent sound (a disc menu's background)",
         &OptionParser::SetStillLength},
    };
    return kOptions;
}

const OptionParser::OptionSpec* OptionParser::FindOption(const std::string& name) {
    for (const OptionSpec& option : Options())
        if (name == option.name) return &option;
    return nullptr;
}

bool OptionParser::WantsHelp(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments)
        if (argument == "--help" || argument == "-h" || argument == "-help") return true;
    return false;
}

std::string OptionParser::UsageText() {
    std::string text =
        "Usage: kelvoenc SOURCE -o OUTPUT [OPTIONS...] MODE HANDLE\n"
        "       kelvoenc --help\n\n"
        "MODE 0 converts SOURCE into OUTPUT; MODE 1 only probes SOURCE and reports its\n"
        "duration, width, height and frame rate, then that it has been read, when the\n"
        "front-end may hand it the next source to probe; MODE 2 writes the picture that\n"
        "SOURCE shows at -endpos (else its first) into OUTPUT as a PNG; MODE 3 writes\n"
        "the first picture the conversion would make from -ss, after every filter,\n"
        "into OUTPUT as a PNG at its display shape; MODE 4 (without -o) measures the\n"
        "black borders at 10 points of the kept part and reports the crop that keeps\n"
        "every point's picture, and how many points agree with it. HANDLE is the\n"
        "descriptor of a connected Unix stream socket that takes the reports; any other\n"
        "number (0, -1) prints the reports on standard error instead.\n\nOptions:\n";
    for (const OptionSpec& option : Options()) {
        std::string head = std::string("  ") + option.name + " " + option.value;
        head.resize(std::max<std::size_t>(head.size() + 1, 28), ' ');
        std::string meaning = option.meaning;
        for (std::string::size_type at = meaning.find('\n'); at != std::string::npos; at = meaning.find('\n', at + 1))
            meaning.insert(at + 1, std::string(28, ' '));
        text += head + meaning + "\n";
    }
    text += "\nExit status:\n";
    for (const ExitStatusFacts& facts : kExitStatuses)
        text += "  " + std::to_string(static_cast<int>(facts.status)) + "  " + Wrapped(facts.meaning, 5) + "\n";
    return text;
}

EncoderOptions OptionParser::Parse(const std::vector<std::string>& arguments) {
    OptionParser parser;
    parser.ParseTrailingNumbers(arguments);
    const std::size_t optionCount = arguments.size() - 2;
    bool haveSource = false;
    for (std::size_t i = 0; i < optionCount; ++i) {
        const std::string& argument = arguments[i];
        const OptionSpec* option = FindOption(argument);
        if (option) {
            if (i + 1 >= optionCount) Refuse("Option " + argument + " needs a value.");
            (parser.*option->apply)(arguments[++i]);
        } else if (argument.size() > 1 && argument.front() == '-') {
            Refuse("Unknown option " + argument + ".");
        } else if (!haveSource) {
            parser.m_options.sourcePath = argument;
            haveSource = true;
        } else {
            Refuse("Unexpected argument " + Quoted(argument) + ": the source is already " +
                   Quoted(parser.m_options.sourcePath) + ".");
        }
    }
    if (!haveSource || parser.m_options.sourcePath.empty()) Refuse("No source file was given.");
    const bool writes = parser.m_options.mode != EncoderProbe && parser.m_options.mode != EncoderMeasureCrop;
    if (writes && parser.m_options.outputPath.empty()) Refuse("No output file was given (option -o).");
    parser.ResolveChoices();
    return parser.m_options;
}

void OptionParser::ParseTrailingNumbers(const std::vector<std::string>& arguments) {
    if (arguments.size() < 3) Refuse("Too few arguments: expected SOURCE -o OUTPUT [OPTIONS...] MODE HANDLE.");
    const std::string& mode = arguments[arguments.size() - 2];
    m_options.mode = ParseInteger(mode, "MODE");
    if (m_options.mode < EncoderConvert || m_options.mode > EncoderMeasureCrop)
        RefuseValue("MODE", mode, "is not 0 (convert), 1 (probe), 2 (still), 3 (preview) or 4 (measure the crop)");
    m_options.handle = ParseInteger(arguments.back(), "HANDLE");
}

void OptionParser::SetOutput(const std::string& value) { m_options.outputPath = value; }

void OptionParser::SetAudioEncoder(const std::string& value) {
    if (value != W::kMp3Lame && value != W::kLavc) RefuseValue("-oac", value, "is not mp3lame or lavc");
    m_audioEncoderFamily = value;
}

void OptionParser::SetVideoEncoder(const std::string& value) {
    if (value != W::kLavc && value != W::kXvid) RefuseValue("-ovc", value, "is not lavc or xvid");
    m_videoEncoderFamily = value;
}

void OptionParser::SetFourcc(const std::string& value) {
    if (value.empty() || value.size() > 4) RefuseValue("-ffourcc", value, "is not a FourCC of 1 to 4 characters");
    m_options.video.fourcc = value;
}

void OptionParser::SetOutputFamily(const std::string& value) {
    if (value != W::kLavf && value != W::kMpeg) RefuseValue("-of", value, "is not lavf or mpeg");
    m_outputFamily = value;
}

void OptionParser::SetSampleRate(const std::string& value) {
    m_options.audioFilter.outputSampleRate = ParsePositive(value, "-srate");
}

void OptionParser::SetScaler(const std::string& value) {
    int scaler = ParseInteger(value, "-sws");
    if (scaler < 0 || scaler > 10) RefuseValue("-sws", value, "is not a scaler from 0 to 10");
    m_options.videoFilter.scaler = scaler;
}

void OptionParser::SetFrameRate(const std::string& value) { m_options.outputFrameRate = ParseFraction(value, "-ofps"); }

void OptionParser::SetStartPosition(const std::string& value) { m_options.startSeconds = ParseTime(value, "-ss"); }

void OptionParser::SetEndPosition(const std::string& value) { m_options.endSeconds = ParseTime(value, "-endpos"); }

void OptionParser::SetSoundTracks(const std::string& value) {
    m_options.soundTracks = ParseNumberList(value, "-audiotracks");
}

void OptionParser::SetSubtitleTracks(const std::string& value) {
    m_options.subtitleTracks = ParseNumberList(value, "-subtitles");
}

void OptionParser::SetShownSubtitle(const std::string& value) {
    m_options.shownSubtitle = ParsePositive(value, "-shownsubtitle");
}

void OptionParser::SetBurnedSubtitle(const std::string& value) {
    m_options.burnedSubtitle = ParsePositive(value, "-burnsubtitle");
}

void OptionParser::SetStillLength(const std::string& value) {
    double seconds = ParseTime(value, "-still");
    if (!(seconds > 0)) RefuseValue("-still", value, "is not a length above 0");
    m_options.stillSeconds = seconds;
}

void OptionParser::ParseLavcOptions(const std::string& text) {
    VideoEncodeOptions& video = m_options.video;
    for (const std::string& part : SplitAt(text, ":")) {
        Item item = SplitItem(part);
        const std::string what = "-lavcopts " + item.key;
        const std::string& key = item.key;
        if (key.empty()) continue;
        if (key == K::kVhq) {
            video.rateDistortionDecision = SwitchValue(item, what);
            continue;
        }
        if (key == K::kAutoaspect) {
            m_lavcAutoAspect = SwitchValue(item, what);
            continue;
        }
        RequireValue(item, what);
        if (key == K::kVcodec)
            m_lavcVideoCodec = ParseChoice(item.value, kLavcVideoCodecs, what);
        else if (key == K::kAcodec)
            m_lavcAudioCodec = ParseChoice(item.value, kLavcAudioCodecs, what);
        else if (key == K::kVbitrate)
            m_lavcVideoBitrate = ParseRate(item.value, what);
        else if (key == K::kAbitrate)
            m_lavcAudioBitrate = ParseRate(item.value, what);
        else if (key == K::kVqmin)
            video.minQuantiser = ParseInteger(item.value, what);
        else if (key == K::kVqmax)
            video.maxQuantiser = ParseInteger(item.value, what);
        else if (key == K::kVqscale)
            video.fixedQuantiser = ParseInteger(item.value, what);
        else if (key == K::kCrf)
            video.qualityFactor = ParseQualityFactor(item.value, what);
        else if (key == K::kPreset)
            video.speedPreset = ParseSpeedPreset(item.value, what);
        else if (key == K::kKeyint)
            video.keyframeInterval = ParsePositive(item.value, what);
        else if (key == K::kVrcBufSize)
            video.bufferKbit = ParsePositive(item.value, what);
        else if (key == K::kVrcMinrate)
            video.minRateKbps = ParseRate(item.value, what);
        else if (key == K::kVrcMaxrate)
            video.maxRateKbps = ParseRate(item.value, what);
        else if (key == K::kAspect) {
            Fraction aspect = ParseFraction(item.value, what);
            if (aspect.num <= 0) RefuseValue(what, item.value, "is not a positive aspect ratio");
            video.displayAspect = aspect;
        } else
            RefuseUnknownItem("-lavcopts", part);
    }
}

void OptionParser::ParseLameOptions(const std::string& text) {
    AudioEncodeOptions& audio = m_options.audio;
    for (const std::string& part : SplitAt(text, ":")) {
        Item item = SplitItem(part);
        const std::string what = "-lameopts " + item.key;
        if (item.key.empty()) continue;
        RequireValue(item, what);
        if (item.key == K::kVbr) {
            int vbr = ParseInteger(item.value, what);
            audio.lameRate = vbr == 0   ? LameRateMode::Constant
                             : vbr == 3 ? LameRateMode::Average
                                        : LameRateMode::Variable;
        } else if (item.key == K::kBr) {
            m_lameBitrate = ParseRate(item.value, what);
        } else if (item.key == K::kMode) {
            int mode = ParseInteger(item.value, what);
            if (mode < 0 || mode > 3) RefuseValue(what, item.value, "is not a mode from 0 to 3");
            audio.lameChannels = static_cast<LameChannelMode>(mode);
        } else {
            RefuseUnknownItem("-lameopts", part);
        }
    }
}

void OptionParser::ParseXvidOptions(const std::string& text) {
    for (const std::string& part : SplitAt(text, ":")) {
        Item item = SplitItem(part);
        const std::string what = "-xvidencopts " + item.key;
        if (item.key.empty()) continue;
        if (item.key == K::kAutoaspect) {
            m_xvidAutoAspect = SwitchValue(item, what);
        } else if (item.key == K::kBitrate) {
            RequireValue(item, what);
            m_xvidBitrate = ParseRate(item.value, what);
        } else {
            RefuseUnknownItem("-xvidencopts", part);
        }
    }
}

void OptionParser::ParseLavfOptions(const std::string& text) {
    for (const std::string& part : SplitAt(text, ":")) {
        Item item = SplitItem(part);
        if (item.key.empty() || item.key == K::kNoBFrames) continue;
        if (item.key != K::kFormat) RefuseUnknownItem("-lavfopts", part);
        RequireValue(item, "-lavfopts format");
        m_lavfFormat = ParseChoice(item.value, kLavfFormats, "-lavfopts format");
    }
}

void OptionParser::ParseMpegOptions(const std::string& text) {
    for (const std::string& part : SplitAt(text, ":")) {
        Item item = SplitItem(part);
        if (item.key.empty()) continue;
        if (item.key != K::kFormat) RefuseUnknownItem("-mpegopts", part);
        RequireValue(item, "-mpegopts format");
        m_mpegFormat = ParseChoice(item.value, kMpegFormats, "-mpegopts format");
    }
}

void OptionParser::ParseAudioFilters(const std::string& text) {
    AudioFilterOptions& filters = m_options.audioFilter;
    bool afterVolume = false;
    for (const std::string& part : SplitAt(text, ":,")) {
        Item item = SplitItem(part);
        const std::string what = "-af " + item.key;
        bool switchAfterVolume = afterVolume && !item.hasValue && (part == "0" || part == "1");
        afterVolume = false;
        if (part.empty()) continue;
        if (switchAfterVolume) {
            filters.softClip = part == "1";
            continue;
        }
        RequireValue(item, what);
        if (item.key == K::kVolume) {
            filters.gainDb = ParseGain(item.value, what);
            afterVolume = true;
        } else if (item.key == K::kChannels) {
            filters.maxChannels = ParsePositive(item.value, what);
        } else if (item.key == K::kLavcresample) {
            filters.resampleRate = ParsePositive(item.value, what);
        } else {
            RefuseUnknownItem("-af", part);
        }
    }
}

void OptionParser::ParseVideoFilters(const std::string& text) {
    VideoFilterOptions& filters = m_options.videoFilter;
    for (const std::string& filter : SplitAt(text, ",")) {
        Item item = SplitItem(filter);
        if (item.key.empty() || item.key == K::kHarddup) continue;
        if (item.key == K::kCrop) {
            filters.crop = ParseCrop(item);
            continue;
        }
        if (item.key != K::kScale && item.key != K::kExpand) Refuse("-vf: unknown filter " + Quoted(filter) + ".");
        const std::string what = "-vf " + item.key;
        RequireValue(item, what);
        auto sides = SplitAt(item.value, ":");
        if (sides.size() != 2) RefuseValue(what, item.value, "is not W:H");
        FrameSizeRequest size{ParseInteger(sides[0], what), ParseInteger(sides[1], what)};
        if (item.key == K::kScale) {
            filters.scale = size;
        } else {
            if (size.width <= 0 || size.height <= 0) RefuseValue(what, item.value, "is not a positive size");
            filters.expand = size;
        }
    }
}

// The encoder families decide which of the collected sub-options count.
void OptionParser::ResolveChoices() {
    VideoEncodeOptions& video = m_options.video;
    if (m_videoEncoderFamily == W::kXvid) {
        video.codec = VideoCodecChoice::Xvid;
        video.bitrateKbps = m_xvidBitrate;
        video.autoAspect = m_xvidAutoAspect;
    } else {
        video.codec = m_lavcVideoCodec;
        video.bitrateKbps = m_lavcVideoBitrate;
        video.autoAspect = m_lavcAutoAspect;
    }
    AudioEncodeOptions& audio = m_options.audio;
    if (m_audioEncoderFamily == W::kMp3Lame) {
        audio.codec = AudioCodecChoice::Mp3;
        audio.bitrateKbps = m_lameBitrate;
    } else {
        audio.codec = m_lavcAudioCodec;
        audio.bitrateKbps = m_lavcAudioBitrate;
    }
    if (m_outputFamily == W::kMpeg)
        m_options.container = m_mpegFormat ? m_mpegFormat : ContainerChoice::Mpg;
    else
        m_options.container = m_lavfFormat;
}
