#pragma once

#include "core/DiscImagePlan.h"

#include <string>
#include <vector>

// One step of the authoring: a program's run, with the program's name
// (found on PATH) or path and its arguments, or the drawing of one menu
// page. Every step works in the image's own work folder, where the image
// takes shape under its final file names before it is moved out.
struct DiscAuthoringStep {
    std::string program;
    std::vector<std::string> arguments;
    std::string input = {};   // a file in the work folder as standard input, if any
    std::string output = {};  // a file in the work folder as standard output, if any
    int menuPage = -1;        // a page to draw (from 0) instead of a program to run
};

// A file written into the work folder before the first step.
struct DiscAuthoringFile {
    std::string name;
    std::string content;
};

// A link in the work folder to a file outside it. The tools read every title
// through its link: a name of plain letters, whatever bytes the title's own
// name has (dvdauthor's XML and its readers take UTF-8 only, and run a name
// that starts or ends with "|" as a shell command).
struct DiscAuthoringLink {
    std::string name;
    std::string target;
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
// The subpictures' 16 colours, one RGB a line, for dvdauthor.
inline constexpr const char* kSubpictureColoursFile = "subpictures.rgb";
// A DVD's title takes the source's chapters; one without gets a chapter
// mark this often.
inline constexpr int kChapterSeconds = 5 * 60;
// A source's chapter this close to the title's start starts with it.
inline constexpr double kShortestChapterSeconds = 0.5;

// `encoder` is the path of the encoder, which takes the menu's stills and
// encodes its pages.
std::vector<DiscAuthoringStep> Steps(const DiscImagePlan& plan, const std::string& encoder);
// The files the steps read: dvdauthor's layout and, with a menu, spumux's
// button list for each page.
std::vector<DiscAuthoringFile> Files(const DiscImagePlan& plan);
// The layout for dvdauthor: one title set in the plan's TV standard and
// aspect, one title per file. Without a menu the titles play one after the
// other; with one the disc opens on it, and it comes back after a title
// (after "Play all", after the last).
std::string DvdLayoutXml(const DiscImagePlan& plan);
// spumux's list of one menu page's buttons and their highlight pictures.
std::string ButtonsXml(const DiscMenuLayout& menu, std::size_t page);

// The links made in the work folder before the first step, one per title.
std::vector<DiscAuthoringLink> Links(const DiscImagePlan& plan);

// The names in the work folder of a title's link and of a menu's pictures
// (titles and pages from 0).
std::string TitleLink(std::size_t title);
std::string StillFile(std::size_t title);
std::string BackgroundFile(std::size_t page);
std::string HighlightFile(std::size_t page);
std::string SelectFile(std::size_t page);
std::vector<DiscAuthoringResult> Results(const DiscImagePlan& plan);
// A VCD's or SVCD's cue sheet names its .bin file: the sheet of an image
// made under the names `made` and moved out under `final`.
std::string RetargetCue(const std::string& cue, const DiscImageNames& made, const DiscImageNames& final);

}  // namespace DiscAuthoring
