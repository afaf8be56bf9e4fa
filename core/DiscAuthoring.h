#pragma once

#include "core/DiscImagePlan.h"

#include <string>
#include <vector>

// One authoring program's run: the program's name (found on PATH) and its
// arguments. Every run works in the image's own work folder, where the
// image takes shape under its final file names before it is moved out.
struct DiscAuthoringStep {
    std::string program;
    std::vector<std::string> arguments;
};

// A made file or folder: its name in the work folder and its final path.
struct DiscAuthoringResult {
    std::string workName;
    std::string finalPath;
};

// The commands that turn a plan into a disc image with the tools Debian
// ships: dvdauthor and genisoimage for a DVD, vcdimager for a VCD or SVCD.
namespace DiscAuthoring {

// dvdauthor reads the disc's layout from this file in the work folder.
inline constexpr const char* kDvdLayoutFile = "dvdauthor.xml";
// A DVD's titles get a chapter mark this often.
inline constexpr int kChapterSeconds = 5 * 60;

std::vector<DiscAuthoringStep> Steps(const DiscImagePlan& plan);
// The layout for dvdauthor: one title set in the plan's TV standard and
// aspect, one title per file played one after the other.
std::string DvdLayoutXml(const DiscImagePlan& plan);
std::vector<DiscAuthoringResult> Results(const DiscImagePlan& plan);

}  // namespace DiscAuthoring
