#pragma once

#include "core/BatchProgress.h"
#include "core/EncoderArguments.h"
#include "core/EncoderExit.h"
#include "core/Padding.h"
#include "protocol/ReportFrame.h"
#include "core/ProgramFolder.h"

#include <QMessageBox>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ConversionHost;
class CProgressDlg;

// The outcome of one encoder run.
struct EncoderRunResult {
    bool started = false;  // false: the program could not be started; the user has been told why
    EncoderExit exit;

    bool Succeeded() const { return started && exit.Succeeded(); }
};

// Runs the encoder, handles its reports and converts the source list.
//
// The main window creates one engine after its own controls, passing itself
// as the host, and keeps it for its whole life. The engine creates the
// progress window, owned by the host window but not a child of it, so that it
// stays usable while the main window is disabled during a batch.
//
// Adding a file (the file list's job) goes like this:
//   Progress().probeFailed = false;
//   auto output = MakeOutputPath(path);              // nullopt: path too long, refuse the file
//   auto run = RunEncoder(path, *output, 0, 0, EncoderProbe);
//   if (!run.started) stop adding: the user has been told already;
//   the file is readable when !Progress().probeFailed and run.Succeeded();
//   then Sources().Append(path) commits the probe slot.
class ConversionEngine {
public:
    // `encoderProgram` is the encoder to start: the program folder's by default.
    explicit ConversionEngine(ConversionHost& host,
                              std::string encoderProgram = EncoderExecutablePath(GetProgramFolder()));
    ~ConversionEngine();
    ConversionEngine(const ConversionEngine&) = delete;
    ConversionEngine& operator=(const ConversionEngine&) = delete;

    // The Convert command: converts every listed file into the output folder
    // with the progress window shown, then sums up. Returns when the batch is
    // over (done, cancelled or refused).
    void ConvertAll();

    // Starts one encoder run and returns when its process has ended. The
    // reports arriving meanwhile are handled by OnEncoderNotify. A program
    // that cannot be started is reported to the user here.
    EncoderRunResult RunEncoder(const std::string& sourcePath, const std::string& outputPath, int horizontalPad,
                                int verticalPad, int mode);

    // The output path for a source in the settings' output folder, protecting
    // the listed sources; nullopt when it would be longer than 255 characters.
    std::optional<std::string> MakeOutputPath(const std::string& sourcePath) const;

    // The pads for a row; resolves the target frame size into the targets.
    Padding ComputePadding(int row);

    // One report of the encoder; returns the reply.
    ReportReply OnEncoderNotify(std::uint32_t code, std::int32_t value);

    // A progress report: `value` seconds of the current file are done.
    // Returns kReplyStop when the user confirmed the stop, else kReplyContinue.
    ReportReply ReportProgress(double value);

    // Handles the events waiting now, without blocking.
    static void PumpOneMessage();

    BatchProgress& Progress() { return m_progress; }
    CProgressDlg& ProgressWindow() { return *m_progressWindow; }
    bool IsConverting() const { return m_currentEntry >= 0; }

private:
    enum class EntryOutcome { Converted, Failed, Cancelled, EncoderMissing };

    EntryOutcome ConvertEntry(int row, std::vector<QString>& failures);
    void StartBatch();
    void EndBatch();
    void ShowSummary(const std::vector<QString>& failures);
    void StoreProperty(std::uint32_t code, std::int32_t value);
    void StoreSampleAspect(std::int32_t value);
    double CurrentFrameRate() const;

    QWidget* MessageParent() const;
    void ShowMessage(const QString& text, QMessageBox::Icon icon) const;
    bool AskToStop() const;

    ConversionHost& m_host;
    std::string m_encoderProgram;
    BatchProgress m_progress;
    int m_currentEntry = -1;  // the row being converted; -1 outside a batch
    std::unique_ptr<CProgressDlg> m_progressWindow;
};
