#pragma once

#include "gui/widgets/AddressOpener.h"

// Opens addresses on a free desktop: through Qt's desktop services, falling
// back to the desktop entry that the desktop's MIME lists name for web pages.
class DesktopAddressOpener : public AddressOpener {
public:
    int OpenWithDesktop(const std::string& address) override;
    std::optional<std::string> RegisteredWebCommand() override;
    int Run(const std::vector<std::string>& arguments) override;
};
