#include "core/ConversionsAtOnce.h"

#include "core/FormatCatalogue.h"

#include <algorithm>
#include <thread>

namespace {

constexpr int kCoresPerWideRun = 4;
constexpr int kCoresPerClassicRun = 2;
constexpr int kFewestClassicRuns = 2;

int AutoConversions(const ConversionSettings& settings, int cores) {
    if (FamilyOf(settings.outputFormat) == FormatFamily::ConstantQuality) return cores / kCoresPerWideRun;
    return std::max(std::min(kFewestClassicRuns, cores), cores / kCoresPerClassicRun);
}

}  // namespace

int ConversionsAtOnce(const ConversionSettings& settings, int cores, int filesLeft) {
    // A stored number above the cores (from another machine, or written by
    // hand) is held to them, as the dialog offers no more.
    int runs = settings.conversionsAtOnce > 0 ? std::min(settings.conversionsAtOnce, std::max(1, cores))
                                              : AutoConversions(settings, cores);
    return std::max(1, std::min(runs, filesLeft));
}

int ThreadsPerRun(int cores, int runs) { return std::max(1, cores / std::max(1, runs)); }

int AvailableCores() { return std::max(1, static_cast<int>(std::thread::hardware_concurrency())); }
