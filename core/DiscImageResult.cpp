#include "core/DiscImageResult.h"

std::string DiscImageResult::SummaryLine() const {
    switch (outcome) {
    case Outcome::Made: {
        std::string line = "The disc image \"" + paths.front() + "\" was made";
        for (std::size_t i = 1; i < paths.size(); ++i) line += (i == 1 ? ", with \"" : " and \"") + paths[i] + "\"";
        return line + ".";
    }
    case Outcome::Skipped: return detail;
    case Outcome::MissingTool:
        return "The disc image was not made: the program \"" + detail + "\" is not installed (Debian package " +
               detail + "). The converted files are kept.";
    case Outcome::Failed: return "The disc image was not made: " + detail + " The converted files are kept.";
    case Outcome::Stopped: return "Making the disc image was stopped; nothing of it was kept.";
    }
    return {};
}
