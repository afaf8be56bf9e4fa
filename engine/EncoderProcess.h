#pragma once

#include "core/EncoderExit.h"
#include "protocol/ReportFrame.h"

#include <QObject>

#include <memory>
#include <string>
#include <vector>

// One run of the encoder program with its report channel, followed from the
// event loop. The platform's implementation starts the program directly
// (never through a shell), with no window, standard input from the null
// device, the current directory inherited, and one end of the report channel
// open in the child under the number ChannelHandle() gives. Each report
// arrives as Reported and waits for Reply (the encoder waits for it too, so
// no further report is read meanwhile); the end arrives once as Ended. A
// process still running when this object goes is stopped and reaped from
// the event loop; nothing waits for it.
class EncoderProcess : public QObject {
    Q_OBJECT
public:
    ~EncoderProcess() override = default;

    // The number that names the encoder's end of the report channel: the last
    // number of its argument text. Known before Start.
    virtual int ChannelHandle() const = 0;

    // Starts the program with these arguments (after the program's own name).
    // Returns false, with the reason in `error`, when it cannot be started;
    // Ended is then never emitted.
    virtual bool Start(const std::string& program, const std::vector<std::string>& arguments, std::string& error) = 0;

    // A variable ("NAME=value") the program gets on top of ours, replacing
    // ours of that name. Takes effect at Start.
    void SetVariable(std::string setting) { m_variables.push_back(std::move(setting)); }

    // Answers the report last handed over by Reported.
    virtual void Reply(ReportReply reply) = 0;
    // Answers a ReportSourceRead with the next source for the same probe run.
    virtual void ReplyWithSource(const std::string& path) = 0;

    // Asks the process to end (SIGTERM), and ends it outright (SIGKILL) if it
    // is still there after a short grace. Ended follows once it is gone.
    virtual void Stop() = 0;

signals:
    void Reported(const ReportFrame& frame);
    void Ended(const EncoderExit& exit);

protected:
    const std::vector<std::string>& Variables() const { return m_variables; }

private:
    std::vector<std::string> m_variables;
};

// The implementation for this platform.
std::unique_ptr<EncoderProcess> CreateEncoderProcess();

// Lets a process go: nothing more is heard from it, and it is deleted from
// the event loop, so that it may be let go of from inside its own signals.
struct EncoderProcessDeleter {
    void operator()(EncoderProcess* process) const {
        process->disconnect();
        process->deleteLater();
    }
};
using EncoderProcessPtr = std::unique_ptr<EncoderProcess, EncoderProcessDeleter>;
