#pragma once

#include <optional>
#include <string>
#include <vector>

enum class DiscKind { Vcd, Svcd, Dvd };

// The disc an output format is made for; none for the other formats.
std::optional<DiscKind> DiscKindOf(int format);

// The names a disc image takes in the output folder: "Tarvine disc.iso" with
// its "Tarvine disc" folder (which holds VIDEO_TS) for a DVD,
// "Tarvine disc.bin" and "Tarvine disc.cue" for a VCD or SVCD. Like the
// converted files, an image never replaces anything: when any of its names is
// taken, all of them get "_1", "_2", ... before the extension.
struct DiscImageNames {
    std::string folder;  // DVD only: the folder that holds VIDEO_TS
    std::string image;   // the .iso or the .bin
    std::string cue;     // VCD and SVCD only

    static DiscImageNames Free(const std::string& outputFolder, DiscKind kind);

    // Every name that is not empty, the image first.
    std::vector<std::string> Paths() const;
};
