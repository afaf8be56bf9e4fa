#pragma once

#include "core/AppProfile.h"
#include "core/ConversionSettings.h"
#include "core/SettingsStore.h"

#include <QString>

class QWidget;

// The main window's lasting state: the conversion settings, loaded when the
// window is built, and the per-user profile beside them (the window's size
// and the folder files were last added from). Save writes both back.
class SettingsKeeper {
public:
    explicit SettingsKeeper(SettingsStore store);

    ConversionSettings& Settings() { return m_settings; }
    const AppProfile& Profile() const { return m_profile; }

    // The size of the last session, never below the window's minimum nor
    // beyond the screen.
    void RestorePlacement(QWidget& window) const;
    // The window's placement and the settings are written back; the user is
    // told when the settings cannot be.
    void Save(const QWidget& window) const;

    // Where the last files were added from, while that folder still exists.
    QString ImportStartFolder() const;
    void RememberImportFolder(const QString& chosenFile) const;

private:
    void SavePlacement(const QWidget& window) const;

    SettingsStore m_store;
    AppProfile m_profile;
    ConversionSettings m_settings;
};
