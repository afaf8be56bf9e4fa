#include "gui/widgets/OpenAddress.h"

#include "core/OpenAddressText.h"
#include "gui/widgets/AddressOpener.h"

#include "gui/widgets/AppMessageBox.h"

#include <QApplication>

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

bool OpenAddressOrReport(const std::string& address) {
    int result = OpenAddress(address, kShowNormal);
    if (result > kOpenFailureLimit) return true;
    QApplication::beep();
    ReportOpenError(result);
    return false;
}
