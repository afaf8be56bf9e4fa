#include "core/ConversionsAtOnce.h"

#include "core/FormatCatalogue.h"

#include <algorithm>
#include <thread>

namespace {

constexpr int kCoresPerWideRun = 4;
constexpr int kCoresPerClassicRun = 2;
constexpr int kFewestClassicRuns = 2;

int AutoConversions(const ConversionSettings& settings, int cores) {
    if (FamilyOf(settings.outputFormat) == FormatFamily::Mp4) return cores / kCoresPerWideRun;
    return std::max(std::min(kFewestClassicRuns, cores), cores / kCoresPerClassicRun);
}

}  // namespace

int ConversionsAtOnce(const ConversionSettings& settings, int cores, int filesLeft) {
    int runs = settings.conversionsAtOnce > 0 ? settings.conversionsAtOnce : AutoConversions(settings, cores);
    return std::max(1, std::min(runs, filesLeft));
}

int ThreadsPerRun(int cores, int runs) { return std::max(1, cores / std::max(1, runs)); }

int AvailableCores() { return std::max(1, static_cast<int>(std::thread::hardware_concurrency())); }
