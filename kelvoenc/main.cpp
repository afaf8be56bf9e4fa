// kelvoenc: converts one source file for the front-end, or probes it.

#include "kelvoenc/EncoderFailure.h"
#include "kelvoenc/OptionParser.h"
#include "kelvoenc/ReportChannel.h"
#include "kelvoenc/SourceProbe.h"
#include "kelvoenc/StopSignals.h"
#include "kelvoenc/Transcoder.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstdio>
#include <new>
#include <string>
#include <vector>

namespace {

// Runs before the libraries' own initialisers (and the threads they may
// start), so that a stop signal from then on waits for our handling.
void BlockStopSignalsAtLoad(int, char**, char**) { StopSignals::Block(); }

}  // namespace

__attribute__((section(".preinit_array"), used)) static void (*const kBlockStopSignalsAtLoad)(int, char**,
                                                                                              char**) =
    BlockStopSignalsAtLoad;

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
    try {
        EncoderOptions options = OptionParser::Parse(arguments);
        ReportChannel channel(options.handle);
        if (options.mode == EncoderProbe) return static_cast<int>(SourceProbe::Run(options.sourcePath, channel));
        return static_cast<int>(Transcoder(options, channel).Run());
    } catch (const EncoderFailure& failure) {
        Notice(failure.what());
        if (failure.Status() == ExitStatus::BadArguments) Notice("Try kelvoenc --help.");
        // Whatever broke off, a stop signal was the reason.
        if (StopSignals::Pending()) return static_cast<int>(ExitStatus::Stopped);
        return static_cast<int>(failure.Status());
    } catch (const std::bad_alloc&) {
        Notice("The conversion ran out of memory.");
        return static_cast<int>(ExitStatus::OutOfMemory);
    } catch (const std::exception& failure) {
        Notice(std::string("The encoder failed: ") + failure.what() + ".");
        return static_cast<int>(ExitStatus::InternalFailure);
    }
}
