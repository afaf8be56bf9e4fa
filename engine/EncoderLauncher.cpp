#include "engine/EncoderLauncher.h"

#include "core/ArgumentSplitter.h"
#include "engine/ConversionHost.h"
#include "protocol/TemporaryOutput.h"
#include "protocol/ThreadShare.h"

EncoderProcessPtr EncoderLauncher::Launch(const EncoderRunValues& values, QString& failure, int threads,
                                          const std::string& temporaryName) const {
    EncoderProcessPtr process(CreateEncoderProcess().release());
    if (threads > 0) process->SetVariable(ThreadShareSetting(threads));
    if (!temporaryName.empty()) process->SetVariable(TemporaryNameSetting(temporaryName));
    EncoderRunValues run = values;
    run.handle = process->ChannelHandle();
    std::vector<std::string> arguments =
        SplitArguments(BuildEncoderArguments(run, m_host.Settings(), m_host.Targets()));
    std::string error;
    if (process->Start(m_program, arguments, error)) return process;
    failure = QStringLiteral("The encoder %1 could not be started: %2.")
                  .arg(QString::fromStdString(m_program), QString::fromLocal8Bit(error.c_str()));
    return nullptr;
}
