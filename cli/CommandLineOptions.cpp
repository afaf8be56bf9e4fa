#include "cli/CommandLineOptions.h"

#include "core/ConversionSettings.h"
#include "core/FormatCatalogue.h"
#include "text/ClockTime.h"
#include "text/FormatText.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <span>

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// A format by its number, its short name or its name in the "Output format"
// box, in any case.
int ParseFormat(const std::string& value) {
    const std::span<const FormatEntry> formats = FormatCatalogue::Formats();
    for (int format = 0; format < static_cast<int>(formats.size()); ++format)
        if (value == std::to_string(format) || Lower(value) == formats[format].shortName ||
            Lower(value) == Lower(formats[format].comboText))
            return format;
    throw UsageError("\"" + value + "\" is no output format; --list-formats lists them.");
}

// A count of conversions at once: a whole number from 1 up.
int ParseJobs(const std::string& value) {
    std::size_t used = 0;
    int jobs = 0;
    try {
        jobs = std::stoi(value, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != value.size() || jobs < 1)
        throw UsageError("\"" + value + "\" is no number of conversions at once; give 1 or more.");
    return jobs;
}

bool AllBetween(const std::string& word, char first, char last) {
    return !word.empty() &&
           std::all_of(word.begin(), word.end(), [first, last](char c) { return c >= first && c <= last; });
}

// Track numbers from 1 and ISO 639 language codes, separated by commas.
// `choices`: the option's words, for the sentence that refuses a value.
std::vector<std::string> TrackList(const std::string& value, const char* kind, const char* choices) {
    const std::string lower = Lower(value);
    std::vector<std::string> words;
    std::size_t from = 0;
    while (from <= lower.size()) {
        const std::size_t comma = std::min(lower.find(',', from), lower.size());
        const std::string word = lower.substr(from, comma - from);
        const bool number = word.size() < 4 && AllBetween(word, '0', '9') && word[0] != '0';
        const bool language = (word.size() == 2 || word.size() == 3) && AllBetween(word, 'a', 'z');
        if (!number && !language)
            throw UsageError("\"" + value + "\" is no choice of " + kind + "; give " + choices +
                             ", or track numbers and language codes separated by commas, such as 1,3 or en,de.");
        words.push_back(word);
        from = comma + 1;
    }
    return words;
}

// --audio: "default", "all", or a list.
void ParseAudio(CommandLineOptions& options, const std::string& value) {
    options.tracks.sound.clear();
    options.audioTracks.reset();
    const std::string lower = Lower(value);
    if (lower == "default" || lower == "all")
        options.audioTracks =
            lower == "all" ? ConversionSettings::kAllAudioTracks : ConversionSettings::kDefaultAudioTrack;
    else
        options.tracks.sound = TrackList(value, "sound tracks", "default, all");
}

// --subtitles: "none", "default" (those the source shows by itself), "all",
// or a list.
void ParseSubtitles(CommandLineOptions& options, const std::string& value) {
    options.tracks.subtitles.clear();
    options.subtitles.reset();
    const std::string lower = Lower(value);
    if (lower == "none")
        options.subtitles = ConversionSettings::kNoSubtitles;
    else if (lower == "default")
        options.subtitles = ConversionSettings::kForcedAndDefaultSubtitles;
    else if (lower == "all")
        options.subtitles = ConversionSettings::kAllSubtitles;
    else
        options.tracks.subtitles = TrackList(value, "subtitles", "none, default, all");
}

std::vector<std::string> SplitAtColons(const std::string& text) {
    std::vector<std::string> parts{""};
    for (char c : text) {
        if (c == ':')
            parts.emplace_back();
        else
            parts.back().push_back(c);
    }
    return parts;
}

// Whole digits, read by hand, whatever the locale.
std::optional<int> WholeNumber(const std::string& text) {
    if (!AllBetween(text, '0', '9') || text.size() > 9) return std::nullopt;
    return std::stoi(text);
}

// A time of the source: seconds (90, 12.5), m:ss or h:mm:ss with a fraction
// of a second (1:02:03.5).
double ParseTime(const std::string& option, const std::string& value) {
    const std::optional<double> seconds = ParseClockTime(value);
    if (!seconds)
        throw UsageError(option + "=" + value + " is no time; give seconds or h:mm:ss, such as 90, 12.5 or 1:02:03.5.");
    return *seconds;
}

// --crop: "auto", "none", or the rectangle to keep as W:H:X:Y.
void ParseCrop(CommandLineOptions& options, const std::string& value) {
    PartRequest& part = options.part;
    part.rectangle.reset();
    const std::string lower = Lower(value);
    if (lower == "auto" || lower == "none") {
        part.crop = lower == "auto" ? CropMode::Automatic : CropMode::None;
        return;
    }
    const std::vector<std::string> words = SplitAtColons(value);
    std::vector<int> numbers;
    for (const std::string& word : words)
        if (std::optional<int> number = WholeNumber(word)) numbers.push_back(*number);
    if (numbers.size() != 4 || words.size() != 4 || numbers[0] == 0 || numbers[1] == 0)
        throw UsageError("--crop=" + value +
                         " is no crop; give auto, none, or the picture to keep as WIDTH:HEIGHT:X:Y, such as "
                         "1920:800:0:140.");
    part.crop = CropMode::Custom;
    part.rectangle = PictureCrop{numbers[0], numbers[1], numbers[2], numbers[3]};
}

// An unset shell variable gives an empty argument: it names no file.
std::string Absolute(const std::string& path) {
    if (path.empty()) throw UsageError("An empty argument was given as a file to convert.");
    return std::filesystem::absolute(path).lexically_normal().string();
}

// One row per option; a new option is one more row.
struct OptionRow {
    const char* name;
    const char* value;  // the value's name in the help, or null for a switch
    const char* help;
    void (*apply)(CommandLineOptions& options, const std::string& value);
};

constexpr OptionRow kOptions[] = {
    {"--settings", "FILE", "read the settings from FILE instead of the program's option.ini",
     [](CommandLineOptions& o, const std::string& v) { o.settingsFile = Absolute(v); }},
    {"--batch", "LIST",
     "convert the files of LIST, a list saved by the window, each with its own choices, and with its settings "
     "(the other options override them); FILEs given beside it choose which of its files",
     [](CommandLineOptions& o, const std::string& v) { o.batchFile = Absolute(v); }},
    {"--print-files", nullptr, "print the paths of the --batch LIST, one a line, and exit",
     [](CommandLineOptions& o, const std::string&) { o.printFiles = true; }},
    {"--format", "N",
     "convert to output format N (a number, a short name such as mp4 or dvd, or the list's name; see "
     "--list-formats)",
     [](CommandLineOptions& o, const std::string& v) { o.format = ParseFormat(v); }},
    {"--output", "DIR", "write the converted files into DIR",
     [](CommandLineOptions& o, const std::string& v) { o.outputFolder = Absolute(v); }},
    {"--jobs", "N", "convert N files at once (each with its share of the cores); by default as the settings say",
     [](CommandLineOptions& o, const std::string& v) { o.jobs = ParseJobs(v); }},
    {"--audio", "CHOICE",
     "the sound tracks to keep in MP4 and DVD: default (the one players pick), all, or a list of track numbers "
     "and language codes, such as 2 or en,de (other formats keep the first)",
     ParseAudio},
    {"--subtitles", "CHOICE",
     "the subtitles to keep: none (the default), default (those the source shows by itself: forced, default, "
     "and a NAME.srt beside it), all, or a list of track numbers (the source's own, then the files beside it) "
     "and language codes; MP4 keeps text subtitles as tracks, the other formats draw the first into the "
     "picture",
     ParseSubtitles},
    {"--start", "TIME", "convert each file from TIME on (seconds, or h:mm:ss with a fraction, such as 1:02:03.5)",
     [](CommandLineOptions& o, const std::string& v) { o.part.start = ParseTime("--start", v); }},
    {"--end", "TIME", "convert each file up to TIME (counted from the file's start, as --start is)",
     [](CommandLineOptions& o, const std::string& v) { o.part.end = ParseTime("--end", v); }},
    {"--crop", "CROP",
     "crop each file's picture: auto (its black borders, measured before it is converted), none (the default), "
     "or the picture to keep as WIDTH:HEIGHT:X:Y in the file's pixels, such as 1920:800:0:140",
     ParseCrop},
    {"--burn-subtitles", nullptr, "draw the first chosen subtitle into the picture",
     [](CommandLineOptions& o, const std::string&) { o.tracks.burnSubtitle = true; }},
    {"--disc-image", nullptr, "end a VCD, SVCD or DVD batch in a disc image",
     [](CommandLineOptions& o, const std::string&) { o.discImage = true; }},
    {"--disc-menu", nullptr, "open a DVD disc image on a menu (the default)",
     [](CommandLineOptions& o, const std::string&) { o.discMenu = true; }},
    {"--no-disc-menu", nullptr, "make a DVD disc image without a menu",
     [](CommandLineOptions& o, const std::string&) { o.discMenu = false; }},
    {"--disc-title", "TEXT", "title the DVD menu TEXT (by default the output folder's name)",
     [](CommandLineOptions& o, const std::string& v) { o.discTitle = v; }},
    {"--fit-disc", nullptr, "lower a DVD or SVCD batch's video rate to fit one disc",
     [](CommandLineOptions& o, const std::string&) { o.fitDisc = true; }},
    {"--json", nullptr, "report progress as one JSON object a line",
     [](CommandLineOptions& o, const std::string&) { o.json = true; }},
    {"--verbose", nullptr, "also show the warnings of the libraries underneath",
     [](CommandLineOptions& o, const std::string&) { o.verbose = true; }},
    {"--list-formats", nullptr, "list the output formats with their numbers and short names and exit",
     [](CommandLineOptions& o, const std::string&) { o.listFormats = true; }},
    {"--help", nullptr, "show this help and exit", [](CommandLineOptions& o, const std::string&) { o.help = true; }},
    {"--version", nullptr, "show the version and exit",
     [](CommandLineOptions& o, const std::string&) { o.version = true; }},
};

const OptionRow* FindOption(const std::string& name) {
    for (const OptionRow& row : kOptions)
        if (name == row.name) return &row;
    return nullptr;
}

}  // namespace

CommandLineOptions ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLineOptions options;
    bool filesOnly = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (filesOnly || argument.size() < 2 || argument[0] != '-') {
            options.files.push_back(Absolute(argument));
            continue;
        }
        if (argument == "--") {
            filesOnly = true;
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const OptionRow* row = FindOption(name);
        if (!row) throw UsageError("Unknown option \"" + name + "\".");
        std::string value;
        if (row->value && equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (row->value) {
            if (++i == arguments.size()) throw UsageError("The option " + name + " needs a value.");
            value = arguments[i];
        } else if (equals != std::string::npos) {
            throw UsageError("The option " + name + " takes no value.");
        }
        if (row->value && value.empty()) throw UsageError("The option " + name + " needs a value, not an empty one.");
        row->apply(options, value);
    }
    const PartRequest& part = options.part;
    if (part.start && part.end && *part.end <= *part.start)
        throw UsageError("--end must come after --start, but " + FormatText("%.10g", *part.end) +
                         " seconds is not after " + FormatText("%.10g", *part.start) + ".");
    return options;
}

std::string UsageText() {
    std::string text =
        "Usage: tarvine-convert [OPTION]... FILE...\n"
        "  or:  tarvine-convert --batch=LIST [OPTION]... [FILE]...\n"
        "Convert each video FILE with Tarvine's settings, as its window's Convert does.\n"
        "Nothing is ever replaced: a taken name gets the source's extension or a number.\n\n";
    for (const OptionRow& row : kOptions) {
        std::string option = std::string(row.name) + (row.value ? std::string("=") + row.value : "");
        text += FormatText("  %-22s %s\n", option.c_str(), row.help);
    }
    text +=
        "\nProgress goes to standard output: a line a file, or with --json one object a line\n"
        "(\"file-started\", \"progress\", \"file-ended\", \"batch-ended\"). Problems go to standard error.\n"
        "SIGINT or SIGTERM stops: the files converted stay, the unfinished one goes.\n\n"
        "Exit status:\n"
        "  0  every file was converted whole (and the disc image made, when asked for)\n"
        "  1  a file was not converted, or only in part\n"
        "  2  bad usage\n"
        "  4  stopped by a signal\n";
    return text;
}

std::string FormatListText() {
    std::string text;
    const std::span<const FormatEntry> formats = FormatCatalogue::Formats();
    for (std::size_t format = 0; format < formats.size(); ++format)
        text += FormatText("%2zu  %-9s %s\n", format, formats[format].shortName, formats[format].comboText);
    return text;
}
