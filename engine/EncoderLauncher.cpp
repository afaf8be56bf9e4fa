#include "engine/EncoderLauncher.h"

#include "protocol/TemporaryOutput.h"
#include "protocol/ThreadShare.h"

EncoderProcessPtr EncoderLauncher::Launch(const EncoderRunValues& values, const ConversionSettings& settings,
                                          QString& failure, int threads, const std::string& temporaryName) const {
    return Start(
        [&](int handle) {
            EncoderRunValues run = values;
            run.handle = handle;
            return ConversionArguments(run, settings);
        },
        failure, threads, temporaryName);
}

EncoderProcessPtr EncoderLauncher::LaunchProbe(const std::string& sourcePath, QString& failure) const {
    return Start([&sourcePath](int handle) { return ProbeArguments(sourcePath, handle); }, failure, 0, {});
}

EncoderProcessPtr EncoderLauncher::LaunchMeasureCrop(const std::string& sourcePath, std::optional<double> start,
                                                     std::optional<double> end, QString& failure) const {
    return Start([&](int handle) { return MeasureCropArguments(sourcePath, start, end, handle); }, failure, 0, {});
}

EncoderProcessPtr EncoderLauncher::LaunchPreview(const EncoderRunValues& values, const ConversionSettings& settings,
                                                 double seconds, QString& failure) const {
    return Start([&](int) { return PreviewArguments(values, settings, seconds); }, failure, 0, {});
}

EncoderProcessPtr EncoderLauncher::Start(const ArgumentsFor& arguments, QString& failure, int threads,
                                         const std::string& temporaryName) const {
    EncoderProcessPtr process(CreateEncoderProcess().release());
    if (threads > 0) process->SetVariable(ThreadShareSetting(threads));
    if (!temporaryName.empty()) process->SetVariable(TemporaryNameSetting(temporaryName));
    std::string error;
    if (process->Start(m_program, arguments(process->ChannelHandle()), error)) return process;
    failure = QStringLiteral("The encoder %1 could not be started: %2.")
                  .arg(QString::fromStdString(m_program), QString::fromLocal8Bit(error.c_str()));
    return nullptr;
}
