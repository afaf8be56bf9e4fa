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

constexpr int kQueryTimeoutMs = 5000;

QString DesktopEntryId() {
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/html")});
    if (!query.waitForFinished(kQueryTimeoutMs) || query.exitStatus() != QProcess::NormalExit ||
        query.exitCode() != 0) {
        query.kill();
        return {};
    }
    return QString::fromUtf8(query.readAllStandardOutput()).trimmed();
}

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

}  // namespace

int DesktopAddressOpener::OpenWithDesktop(const std::string& address) {
    return QDesktopServices::openUrl(QUrl::fromUserInput(QString::fromStdString(address))) ? kOpenSucceeded
                                                                                           : kOpenNoAssociation;
}

std::optional<std::string> DesktopAddressOpener::RegisteredWebCommand() {
    QFile entry(FindDesktopEntry(DesktopEntryId()));
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
