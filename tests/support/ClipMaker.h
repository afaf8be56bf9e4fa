#pragma once

#include <QString>
#include <QStringList>

// Runs ffmpeg with these arguments, without prompts and overwriting its
// output; true when it succeeded. `errors` receives what it printed there.
bool RunFfmpeg(const QStringList& arguments, QString* errors = nullptr);

// A clip of ffmpeg's test picture ("320x240" at `rate` frames a second) with
// a 440 Hz tone, `seconds` long, encoded with `codecs` ("-c:v", "mpeg4", ...).
bool MakeClip(const QString& path, const QString& size, int rate, int seconds, const QStringList& codecs);
