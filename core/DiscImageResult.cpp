#include "core/DiscImageResult.h"

namespace {

// spumux comes with dvdauthor; each other tool is a package of its name.
std::string DebianPackage(const std::string& program) { return program == "spumux" ? "dvdauthor" : program; }

std::string NotInstalled(const std::string& program) {
    return "the program \"" + program + "\" is not installed (Debian package " + DebianPackage(program) + ")";
}

}  // namespace

std::string DiscImageResult::SummaryLine() const {
    switch (outcome) {
    case Outcome::Made: {
        std::string line = "The disc image was made";
        if (titleCount < listedCount)
            line += " with " + std::to_string(titleCount) + " of " + std::to_string(listedCount) + " files";
        for (std::size_t i = 0; i < paths.size(); ++i) line += (i == 0 ? ": \"" : " and \"") + paths[i] + "\"";
        if (!missingMenuTool.empty()) line += ", without a menu: " + NotInstalled(missingMenuTool);
        return line + "." + (detail.empty() ? "" : "\n" + detail);
    }
    case Outcome::Skipped: return detail;
    case Outcome::MissingTool:
        return "The disc image was not made: " + NotInstalled(detail) + ". The converted files are kept.";
    case Outcome::Failed: return "The disc image was not made: " + detail + " The converted files are kept.";
    case Outcome::Stopped: return "Making the disc image was stopped; nothing of it was kept.";
    }
    return {};
}
