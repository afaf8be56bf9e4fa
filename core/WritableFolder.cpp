#include "core/WritableFolder.h"

#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

bool CanWriteInFolder(const std::string& folder, std::string& cause) {
    std::string pattern = folder;
    if (!pattern.empty() && pattern.back() != '/') pattern += '/';
    pattern += ".tarvine-write-check-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int descriptor = ::mkstemp(name.data());
    if (descriptor < 0) {
        cause = std::strerror(errno);
        return false;
    }
    ::close(descriptor);
    ::unlink(name.data());
    return true;
}
