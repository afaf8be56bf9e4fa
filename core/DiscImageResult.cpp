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
        std::string line = "The disc image \"" + paths.front() + "\" was made";
        for (std::size_t i = 1; i < paths.size(); ++i) line += (i == 1 ? ", with \"" : " and \"") + paths[i] + "\"";
        if (!detail.empty()) line += ", without a menu: " + NotInstalled(detail);
        return line + ".";
    }
    case Outcome::Skipped: return detail;
    case Outcome::MissingTool:
        return "The disc image was not made: " + NotInstalled(detail) + ". The converted files are kept.";
    case Outcome::Failed: return "The disc image was not made: " + detail + " The converted files are kept.";
    case Outcome::Stopped: return "Making the disc image was stopped; nothing of it was kept.";
    }
    return {};
}
