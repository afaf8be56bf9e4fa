#pragma once

#include "core/ConversionSettings.h"
#include "core/EncodeTargets.h"
#include "core/SourceList.h"

#include <QString>

class ConversionBatch;

// What the conversion engine needs from its host (the main window, or the
// command line), which implements this and owns the live state behind it
// for the engine's whole life.
class ConversionHost {
public:
    // The current text of the "Output folder" box; a batch copies it into
    // the settings' outputFolder when it starts.
    virtual QString OutputFolderText() const = 0;

    virtual ConversionSettings& Settings() = 0;
    virtual EncodeTargets& Targets() = 0;
    // The listed files. The host alone changes them: the engine only reads.
    virtual const SourceList& Sources() const = 0;

    // A batch has ended, done or stopped, before its summary is shown: what
    // became of each file.
    virtual void BatchEnded(const ConversionBatch& batch) = 0;

protected:
    ~ConversionHost() = default;
};
