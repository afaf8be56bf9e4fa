#include "gui/widgets/DesktopAddressOpener.h"

#include "core/OpenAddressText.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

// Desktop entries live in "applications" under the per-user data folder and
// then under each system data folder, the first one found winning.
QString FindDesktopEntry(const QString& entryId) {
    if (entryId.isEmpty() || entryId.contains(u'/')) return {};
    for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        QString path = QDir(folder).filePath(QStringLiteral("applications/") + entryId);
        if (QFileInfo::exists(path)) return path;
    }
    return {};
}

// The files that name the desktop's default program for a MIME type, in the
// order `xdg-mime query default` reads them: the user's and the system's
// choices first, the installed programs' cache last. Reading them, rather
// than asking xdg-mime, never keeps the window waiting on a child program.
QStringList MimeListFiles() {
    const QStringList configFolders = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    const QStringList dataFolders = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    QStringList files;
    for (const QString& folder : configFolders) files << QDir(folder).filePath(QStringLiteral("mimeapps.list"));
    for (const QString& name : {QStringLiteral("mimeapps.list"), QStringLiteral("defaults.list"),
                                QStringLiteral("mimeinfo.cache")})
        for (const QString& folder : dataFolders) files << QDir(folder).filePath(QStringLiteral("applications/") + name);
    return files;
}

QString DefaultWebPageEntry() {
    for (const QString& fileName : MimeListFiles()) {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly)) continue;
        for (const std::string& entryId : DefaultEntriesFor(file.readAll().toStdString(), "text/html")) {
            QString path = FindDesktopEntry(QString::fromStdString(entryId));
            if (!path.isEmpty()) return path;
        }
    }
    return {};
}

}  // namespace

int DesktopAddressOpener::OpenWithDesktop(const std::string& address) {
    return QDesktopServices::openUrl(QUrl::fromUserInput(QString::fromStdString(address))) ? kOpenSucceeded
                                                                                           : kOpenNoAssociation;
}

std::optional<std::string> DesktopAddressOpener::RegisteredWebCommand() {
    QFile entry(DefaultWebPageEntry());
    if (entry.fileName().isEmpty() || !entry.open(QIODevice::ReadOnly)) return std::nullopt;
    return DesktopEntryExec(entry.readAll().toStdString());
}

int DesktopAddressOpener::Run(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return kOpenFileNotFound;
    QString program = QString::fromStdString(arguments.front());
    QString executable = QStandardPaths::findExecutable(program);
    if (executable.isEmpty() && QFileInfo(program).isAbsolute() && QFileInfo::exists(program)) {
        return kOpenAccessDenied;
    }
    if (executable.isEmpty()) return kOpenFileNotFound;

    QStringList rest;
    for (auto argument = arguments.begin() + 1; argument != arguments.end(); ++argument) {
        rest << QString::fromStdString(*argument);
    }
    return QProcess::startDetached(executable, rest) ? kOpenSucceeded : kOpenOutOfResources;
}

AddressOpener& PlatformAddressOpener() {
    static DesktopAddressOpener opener;
    return opener;
}
