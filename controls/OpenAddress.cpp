#include "controls/OpenAddress.h"

#include "controls/AddressOpener.h"
#include "controls/OpenAddressText.h"

#include <QApplication>
#include <QMessageBox>

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
    QMessageBox box(QMessageBox::Warning, QGuiApplication::applicationDisplayName(),
                    QString::fromStdString(OpenErrorText(code)), QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}
