// kelvoenc: converts one source file for the front-end, probes it, or
// makes a picture of it or measures its borders.

#include "kelvoenc/CropMeasure.h"
#include "kelvoenc/EncoderFailure.h"
#include "kelvoenc/OptionParser.h"
#include "kelvoenc/PreviewPicture.h"
#include "kelvoenc/ReportChannel.h"
#include "kelvoenc/SourceProbe.h"
#include "kelvoenc/StillPicture.h"
#include "kelvoenc/StopSignals.h"
#include "kelvoenc/Transcoder.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstdio>
#include <new>
#include <string>
#include <system_error>
#include <vector>

namespace {

// Runs before the libraries' own initialisers (and the threads they may
// start), so that a stop signal from then on waits for our handling.
void BlockStopSignalsAtLoad(int, char**, char**) { StopSignals::Block(); }

// A thread that cannot start lacks memory for its stack.
bool LacksMemory(const std::exception& failure) {
    const auto* system = dynamic_cast<const std::system_error*>(&failure);
    return system && (system->code() == std::errc::not_enough_memory ||
                      system->code() == std::errc::resource_unavailable_try_again);
}

// Says why the run ends and gives its status; whatever broke off, a stop
// signal was the reason when one came.
int Ended(ExitStatus status, const std::string& sentence) {
    Notice(sentence);
    return static_cast<int>(StopSignals::Pending() ? ExitStatus::Stopped : status);
}

}  // namespace

__attribute__((section(".preinit_array"),
               used)) static void (*const kBlockStopSignalsAtLoad)(int, char**, char**) = BlockStopSignalsAtLoad;

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (OptionParser::WantsHelp(arguments)) {
        std::fputs(OptionParser::UsageText().c_str(), stdout);
        return 0;
    }
    // Our own sentences carry the causes; the libraries' chatter would only
    // bury them.
    av_log_set_level(AV_LOG_QUIET);
    // Takes any stop signal still pending when the run ends.
    StopSignals signals;
    std::string source = "the source";
    try {
        EncoderOptions options = OptionParser::Parse(arguments);
        source = "\"" + options.sourcePath + "\"";
        ReportChannel channel(options.handle);
        if (options.mode == EncoderProbe) return static_cast<int>(SourceProbe::Run(options.sourcePath, channel));
        if (options.mode == EncoderStill) return static_cast<int>(StillPicture::Run(options));
        if (options.mode == EncoderPreview) return static_cast<int>(PreviewPicture::Run(options));
        if (options.mode == EncoderMeasureCrop) return static_cast<int>(CropMeasure::Run(options, channel));
        return static_cast<int>(Transcoder(options, channel).Run());
    } catch (const EncoderFailure& failure) {
        if (failure.Status() == ExitStatus::BadArguments) {
            Notice(failure.what());
            Notice("Try kelvoenc --help.");
            return static_cast<int>(ExitStatus::BadArguments);
        }
        return Ended(failure.Status(), failure.what());
    } catch (const std::bad_alloc&) {
        return Ended(ExitStatus::OutOfMemory, "The encoder ran out of memory on " + source + ".");
    } catch (const std::exception& failure) {
        const std::string cause = source + ": " + failure.what() + ".";
        if (LacksMemory(failure)) return Ended(ExitStatus::OutOfMemory, "The encoder ran out of memory on " + cause);
        return Ended(ExitStatus::InternalFailure, "The encoder failed on " + cause);
    }
}
