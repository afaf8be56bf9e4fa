#pragma once

#include "core/ConversionSettings.h"
#include "core/DiscImageNames.h"
#include "core/DiscMenuLayout.h"

#include <optional>
#include <string>
#include <vector>

// How one listed file came out of the batch, as far as a disc cares.
struct ConvertedFile {
    enum class Outcome { Whole, Partial, Failed };

    std::string sourcePath;
    std::string outputPath;
    double seconds = 0;  // the listed length
    Outcome outcome = Outcome::Failed;
    std::vector<double> chapterSeconds = {};       // where the source's chapters start
    std::vector<std::string> soundLanguages = {};  // of its sound tracks, in order; "" where unknown
    std::vector<std::string> subtitleLanguages = {};  // of its subpicture streams, likewise
};

// One title (DVD) or track (VCD, SVCD) of the disc.
struct DiscTitle {
    std::string path;
    double seconds = 0;
    std::string name;                              // the source's file name without its extension
    std::vector<double> chapterSeconds = {};       // the source's chapters; none: one every five minutes
    std::vector<std::string> soundLanguages = {};  // of its sound tracks, in order; "" where unknown
    std::vector<std::string> subtitleLanguages = {};  // of its subpicture streams, likewise
};

// Everything needed to author one disc from a batch's outputs: the files
// that converted whole, in list order, with the TV standard and aspect the
// batch encoded them with, the free names of the image, and the lines the
// batch's summary owes the user about the disc before it is made.
struct DiscImagePlan {
    DiscKind kind = DiscKind::Dvd;
    bool pal = false;
    bool wide = false;  // 16:9, else 4:3
    DiscImageNames names;
    std::vector<DiscTitle> titles;
    // A DVD with its menu on: where the menu's buttons stand. Its pages
    // are encoded as the batch's files were, with its settings and rate.
    std::optional<DiscMenuLayout> menu;
    ConversionSettings settings;
    int fittedVideoKbps = 0;
    // How many files the batch listed, those left out included.
    int listedCount = 0;
    // The files left out, one line each, for the summary's details.
    std::vector<std::string> notes;
    // Not empty for a VCD that strays from the standard's bitrates: the
    // summary says so beside the made image.
    std::string standardNote;
    // Not empty when no image is to be made, and why.
    std::string skipReason;

    // The disc for a disc format with its option on; `converted` is the
    // list in order, converted at `fittedVideoKbps` when fitted to the
    // disc. The files' sizes on disk decide whether they fit.
    static DiscImagePlan Make(const ConversionSettings& settings, int fittedVideoKbps,
                              const std::vector<ConvertedFile>& converted, const std::string& outputFolder);
    // Whether a batch with these settings ends in a disc image.
    static bool Wanted(const ConversionSettings& settings);
};
