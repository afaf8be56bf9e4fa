#include "gui/windows/SettingsKeeper.h"

#include "gui/widgets/AppMessageBox.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>

namespace {

// tarvine.ini keys. The window's size lives here rather than in option.ini:
// it belongs to the user and the screen, not to the conversion settings.
constexpr const char* kWindowSection = "Window";
constexpr const char* kWidthKey = "Width";
constexpr const char* kHeightKey = "Height";
constexpr const char* kMaximizedKey = "Maximized";
constexpr const char* kImportSection = "Import";
constexpr const char* kImportFolderKey = "Folder";

// The user's videos folder when the desktop names one that exists, else home.
QString DefaultImportFolder() {
    QString videos = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    return !videos.isEmpty() && QFileInfo(videos).isDir() ? videos : QDir::homePath();
}

}  // namespace

SettingsKeeper::SettingsKeeper(SettingsStore store)
    : m_store(std::move(store)), m_profile(AppProfile::PathIn(m_store.UserFolder())), m_settings(m_store.Load()) {}

void SettingsKeeper::RestorePlacement(QWidget& window) const {
    QSize size(m_profile.GetProfileInt(kWindowSection, kWidthKey, 0),
               m_profile.GetProfileInt(kWindowSection, kHeightKey, 0));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) size = size.boundedTo(screen->availableSize());
    window.resize(size.expandedTo(window.minimumSize()));
    if (m_profile.GetProfileInt(kWindowSection, kMaximizedKey, 0) != 0)
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

void SettingsKeeper::Save(const QWidget& window) const {
    SavePlacement(window);
    if (!m_store.Save(m_settings)) {
        AppMessageBox(nullptr,
                      QStringLiteral("The settings could not be saved to %1; this session's changes are lost.")
                          .arg(QString::fromStdString(m_store.OptionFilePath())),
                      QMessageBox::Warning);
    }
}

void SettingsKeeper::SavePlacement(const QWidget& window) const {
    const bool maximized = window.isMaximized();
    QSize size = maximized ? window.normalGeometry().size() : window.size();
    if (size.isEmpty()) size = window.size();
    m_profile.WriteProfileInt(kWindowSection, kWidthKey, size.width());
    m_profile.WriteProfileInt(kWindowSection, kHeightKey, size.height());
    m_profile.WriteProfileInt(kWindowSection, kMaximizedKey, maximized ? 1 : 0);
}

QString SettingsKeeper::ImportStartFolder() const {
    QString folder = QString::fromStdString(m_profile.GetProfileString(kImportSection, kImportFolderKey, ""));
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : DefaultImportFolder();
}

void SettingsKeeper::RememberImportFolder(const QString& chosenFile) const {
    m_profile.WriteProfileString(kImportSection, kImportFolderKey, QFileInfo(chosenFile).absolutePath().toStdString());
}
