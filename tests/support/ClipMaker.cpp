#include "ClipMaker.h"

#include <QProcess>

bool RunFfmpeg(const QStringList& arguments, QString* errors) {
    QProcess process;
    process.start(FFMPEG_PATH, QStringList{"-nostdin", "-hide_banner", "-y"} + arguments);
    if (!process.waitForFinished(60000)) return false;
    if (errors) *errors = QString::fromUtf8(process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool MakeClip(const QString& path, const QString& size, int rate, int seconds, const QStringList& codecs) {
    const QString duration = QString::number(seconds);
    return RunFfmpeg(
        QStringList{"-loglevel", "error", "-f", "lavfi", "-i",
                    QStringLiteral("testsrc=size=%1:rate=%2:duration=%3").arg(size).arg(rate).arg(duration), "-f",
                    "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=" + duration} +
        codecs + QStringList{path});
}
