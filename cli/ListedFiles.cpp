#include "cli/ListedFiles.h"

#include "cli/CommandLineOptions.h"
#include "cli/ProgressPrinter.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// `named` is absolute and normal, as the command line's files are.
bool Names(const std::string& named, const std::string& listedPath) {
    std::error_code error;
    return fs::path(listedPath).lexically_normal() == named || fs::equivalent(listedPath, named, error);
}

}  // namespace

std::vector<BatchListFile::Listed> ChooseListed(const std::vector<BatchListFile::Listed>& listed,
                                                const std::vector<std::string>& named, const std::string& listPath) {
    if (named.empty()) return listed;
    for (const std::string& path : named)
        if (std::none_of(listed.begin(), listed.end(),
                         [&path](const BatchListFile::Listed& file) { return Names(path, file.path); }))
            throw UsageError(path + " is not among the files of the list " + listPath + ".");
    std::vector<BatchListFile::Listed> chosen;
    std::copy_if(listed.begin(), listed.end(), std::back_inserter(chosen), [&named](const BatchListFile::Listed& file) {
        return std::any_of(named.begin(), named.end(),
                           [&file](const std::string& path) { return Names(path, file.path); });
    });
    return chosen;
}

int PrintListed(const std::vector<BatchListFile::Listed>& listed, std::FILE* out) {
    int status = 0;
    for (const BatchListFile::Listed& file : listed) {
        if (file.path.find('\n') != std::string::npos) {
            ProgressPrinter::Problem(QString::fromUtf8(file.path.c_str()) +
                                     " is left out: its name holds a line break, and one line a file cannot show it.");
            status = 1;
            continue;
        }
        std::fwrite(file.path.data(), 1, file.path.size(), out);
        std::fputc('\n', out);
    }
    return std::fflush(out) == 0 ? status : 1;
}
