#pragma once

#include "core/ConversionSettings.h"

#include <span>
#include <string>
#include <utility>
#include <vector>

// Reads and writes option.ini (section "Destinate") and reads version.ini
// (section "General"). option.ini lives in the program folder whenever that
// folder can be written, so every copy of the program keeps its own
// settings; only when it cannot is the per-user copy read and written.
class SettingsStore {
public:
    SettingsStore(std::string programFolder, std::string userFolder);
    // The running program's folders.
    SettingsStore();

    std::string LoadVersion() const;
    ConversionSettings Load() const;
    // The settings of this option.ini; a key it lacks keeps its default.
    static ConversionSettings LoadFrom(const std::string& path);
    // Why a settings file given by hand cannot be taken, as the end of a
    // sentence naming it ("holds no Tarvine setting"); empty when it can.
    // A file far larger than any option.ini is refused unread.
    static std::string ProblemWith(const std::string& path);
    // False when neither folder could take the file; nothing is then lost
    // but this run's changes, and no file is left half-written.
    bool Save(const ConversionSettings& settings) const;

    // The option.ini that Load reads and Save writes.
    std::string OptionFilePath() const;
    // The per-user settings folder, with a trailing separator.
    const std::string& UserFolder() const { return m_userFolder; }

    // Each option.ini key with the text its value is written as, in the
    // file's order: how other files (a saved list) store the settings too.
    static std::vector<std::pair<std::string, std::string>> Keyed(const ConversionSettings& settings);
    // Takes the text of the option.ini key `key` (in any case) into
    // `settings`, as Load reads it; false, changing nothing, when the key is
    // none of Tarvine's.
    static bool SetKeyed(ConversionSettings& settings, const std::string& key, const std::string& text);

    // The integer fields in their option.ini order ("Temporary folder"
    // stands second, between the first and second of these).
    static std::span<const SettingsIntField> IntFields();

private:
    std::string UserOptionFilePath() const;

    std::string m_programFolder;
    std::string m_userFolder;
};
