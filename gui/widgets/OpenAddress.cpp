#include "gui/widgets/OpenAddress.h"

#include "core/OpenAddressText.h"
#include "gui/widgets/AddressOpener.h"
#include "gui/widgets/AppMessageBox.h"

#include <QApplication>
#include <QDir>
#include <QUrl>

int OpenAddress(const std::string& address, int /*showCommand*/) {
    AddressOpener& opener = PlatformAddressOpener();
    int desktopResult = opener.OpenWithDesktop(address);
    if (desktopResult > kOpenFailureLimit) return desktopResult;

    std::optional<std::string> registered = opener.RegisteredWebCommand();
    if (!registered) return desktopResult;
    std::optional<FallbackCommand> command = BuildFallbackCommand(*registered, address);
    if (!command) return desktopResult;
    return opener.Run(command->arguments);
}

void ReportOpenError(int code) {
    AppMessageBox(QApplication::activeWindow(), QString::fromStdString(OpenErrorText(code)), QMessageBox::Warning);
}

// A folder that no file manager could show: what matters to the user is
// where the files are, not which program is missing.
void ReportFolderNotShown(const QString& folder) {
    AppMessageBox(QApplication::activeWindow(),
                  QStringLiteral("The files are in the folder %1.\n\nNo file manager could be started to show it.")
                      .arg(QDir::toNativeSeparators(QDir::cleanPath(folder))),
                  QMessageBox::Warning);
}

bool OpenAddressOrReport(const std::string& address) {
    int result = OpenAddress(address, kShowNormal);
    if (result > kOpenFailureLimit) return true;
    QApplication::beep();
    const QUrl url(QString::fromStdString(address));
    if (url.isLocalFile())
        ReportFolderNotShown(url.toLocalFile());
    else
        ReportOpenError(result);
    return false;
}
