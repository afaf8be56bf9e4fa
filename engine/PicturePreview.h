#pragma once

#include "core/ConversionSettings.h"
#include "core/EncoderArguments.h"
#include "engine/EncoderLauncher.h"
#include "engine/EncoderProcess.h"

#include <QObject>
#include <QString>
#include <QTemporaryDir>

#include <optional>

// Draws one file's output picture at a time of the source, as a conversion
// with these settings would make it, for the File settings dialog. One
// encoder run at a time: a picture asked for while one is drawn waits, and
// a later request replaces it, so a slider dragged across a film costs two
// runs, not one per position. Nothing here waits for a run.
class PicturePreview : public QObject {
    Q_OBJECT
public:
    explicit PicturePreview(const EncoderLauncher& launcher);
    ~PicturePreview() override;
    PicturePreview(const PicturePreview&) = delete;
    PicturePreview& operator=(const PicturePreview&) = delete;

    // `run` is the file's run as its conversion would start it (the output
    // path is replaced by the picture's).
    void Request(const EncoderRunValues& run, const ConversionSettings& settings, double seconds);

signals:
    // The picture is at `picturePath` until the next one is drawn.
    void Drawn(const QString& picturePath, double seconds);
    void Failed(const QString& sentence);

private:
    struct Order {
        EncoderRunValues run;
        ConversionSettings settings;
        double seconds = 0;
    };

    void Start(Order order);
    void OnEnded(const EncoderExit& exit);

    const EncoderLauncher& m_launcher;
    QTemporaryDir m_folder;
    EncoderProcessPtr m_process;
    double m_drawingSeconds = 0;
    std::optional<Order> m_waiting;
};
