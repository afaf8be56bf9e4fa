#pragma once

#include "core/EncoderExit.h"
#include "core/FileOrder.h"
#include "core/SourceEntry.h"
#include "engine/EncoderLauncher.h"
#include "engine/EncoderProcess.h"
#include "protocol/ReportFrame.h"

#include <QMetaType>
#include <QObject>
#include <QString>

#include <map>
#include <optional>
#include <string>

// Measures the black borders of one file's kept part with a run of the
// encoder that samples pictures across it, followed from the event loop.
// One measurement at a time: Measure while one goes on replaces it, and
// nothing more is heard of the first. Every measurement ends in Measured or
// Failed, emitted from the event loop (never from within Measure), unless it
// is cancelled.
//
// Used by the conversion engine before it converts a file that asks for an
// automatic crop, and by the window's file settings to show the crop.
class CropMeasurer : public QObject {
    Q_OBJECT
public:
    explicit CropMeasurer(const EncoderLauncher& launcher);
    ~CropMeasurer() override;
    CropMeasurer(const CropMeasurer&) = delete;
    CropMeasurer& operator=(const CropMeasurer&) = delete;

    // Measures `source` between its order's start and end (its own start
    // and end where none is chosen). The edges come in the shown picture's
    // pixels, against its sourceWidth x sourceHeight.
    void Measure(const SourceEntry& source);
    // Stops the measurement going on; neither signal follows for it.
    void Cancel();
    bool IsMeasuring() const { return m_process != nullptr || m_pendingFailure.has_value(); }

signals:
    // The borders every measured point keeps picture inside, and how many
    // of the points agreed on them.
    void Measured(const MeasuredCrop& crop);
    // The measurement failed: `sentence` says so naming the file ("The black
    // borders of /v/film.mkv could not be measured: the source cannot be
    // read."), `reason` is its cause alone, in words that follow a colon.
    void Failed(const QString& sentence, const QString& reason);

private:
    void OnReport(const ReportFrame& frame);
    void OnEnded(const EncoderExit& exit);
    void Fail(const QString& reason);
    QString MeasuredProblem(MeasuredCrop& crop) const;

    const EncoderLauncher& m_launcher;
    EncoderProcessPtr m_process;
    SourceEntry m_source;
    std::map<std::uint32_t, std::int32_t> m_reports;  // by report code
    std::optional<QString> m_pendingFailure;          // the encoder could not start: told from the event loop
};

Q_DECLARE_METATYPE(MeasuredCrop)
