#pragma once

#include "core/ConversionSettings.h"
#include "core/FileOrder.h"

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

// A saved list of files to convert: one JSON file holding the batch's
// settings (option.ini's keys and values) and each file's path with what the
// user chose for it alone, so that the list can be converted later, by the
// window or by tarvine-convert on another machine.
class BatchListFile {
public:
    static constexpr int kVersion = 1;
    // A list of the most files a batch holds, each with a long name, takes
    // well under a megabyte.
    static constexpr qint64 kLargestList = 4 * 1024 * 1024;

    // One listed file: its path (the system's bytes) and its own choices.
    struct Listed {
        std::string path;
        FileOrder order{};

        bool operator==(const Listed&) const = default;
    };

    // What Open read. When `failure` is not empty the file is no list (not
    // there, unreadable, too large, not JSON, not a list) and it says why in
    // one sentence; no file is listed then.
    struct Opened {
        QString failure;
        ConversionSettings settings;
        std::vector<Listed> files;
        QStringList notUnderstood;  // a sentence for each thing left out
    };

    // Writes the whole list to `path` through a temporary file in its folder,
    // never leaving it half-written; an existing file at `path` is replaced
    // only with `replace` (the user chose to), else left as it is. Returns
    // the sentence saying why it could not be saved, or an empty text.
    static QString Save(const std::string& path, const ConversionSettings& settings, const std::vector<Listed>& files,
                        bool replace);

    // Reads the list at `path`: a setting the list lacks keeps its value in
    // `base`, a file's choice it lacks is left to the batch's settings. A
    // relative path in the list is taken from the list's folder. Reads at
    // most kLargestList bytes.
    static Opened Open(const std::string& path, const ConversionSettings& base = {});
};
