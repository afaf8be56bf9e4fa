#pragma once

#include "core/FileOrder.h"
#include "core/KeptPart.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// The tracks each file keeps, by number or language ("2", "de").
struct TrackRequests {
    std::vector<std::string> sound;
    std::vector<std::string> subtitles;
    bool burnSubtitle = false;  // the first chosen subtitle drawn into the picture
};

// The part of each file to keep: from `start` to `end` (source seconds; none:
// the file's own), and its crop: none, measured, or this rectangle of the
// shown picture (W:H:X:Y), turned into each file's edges.
struct PartRequest {
    std::optional<double> start;
    std::optional<double> end;
    std::optional<CropMode> crop;          // none: each file's own (a saved list's), else none
    std::optional<PictureCrop> rectangle;  // with CropMode::Custom
};

// What tarvine-convert was asked to do.
struct CommandLineOptions {
    std::optional<std::string> settingsFile;  // an option.ini other than the program's own
    std::optional<std::string> batchFile;     // a saved list: its files, their choices and its settings
    bool printFiles = false;                  // print the saved list's paths instead of converting
    std::optional<int> format;                // overrides the settings' output format
    std::optional<std::string> outputFolder;  // overrides the settings' output folder
    std::optional<int> jobs;                  // overrides the settings' conversions at once
    std::optional<int> audioTracks;           // overrides the settings' "Audio tracks"
    std::optional<int> subtitles;             // overrides the settings' "Subtitles"
    TrackRequests tracks;
    PartRequest part;
    bool discImage = false;                   // end a disc format's batch in a disc image
    std::optional<bool> discMenu;             // overrides whether a DVD image opens on a menu
    std::optional<std::string> discTitle;     // overrides the DVD menu's title
    bool fitDisc = false;                     // lower a DVD or SVCD batch's video rate to fit one disc
    bool json = false;                        // progress as JSON lines
    bool verbose = false;                     // Qt's own warnings on standard error too
    bool listFormats = false;
    bool help = false;
    bool version = false;
    std::vector<std::string> files;
};

// A command line that cannot be followed; what() says why, as one sentence.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the arguments after the program's name, GNU style: long options,
// with their value as the next argument or after "=", in any order among
// the files, and "--" before files whose names begin with "-".
CommandLineOptions ParseCommandLine(const std::vector<std::string>& arguments);

// The --help text, from the same table the parser reads.
std::string UsageText();

// " 0  avi       AVI Format (*.avi)" ..., one output format a line, for --list-formats.
std::string FormatListText();
