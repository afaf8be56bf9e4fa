#pragma once

#include <optional>
#include <string>
#include <vector>

// What the platform offers for opening an address. Results follow the
// desktop's open call: above kOpenFailureLimit (OpenAddressText.h) is
// success, anything else one of its failure codes.
class AddressOpener {
public:
    virtual ~AddressOpener() = default;

    // Asks the desktop to open the address with the program it has for it.
    virtual int OpenWithDesktop(const std::string& address) = 0;

    // The command line of the program registered for web pages, with its
    // address placeholder, or nothing when none can be found.
    virtual std::optional<std::string> RegisteredWebCommand() = 0;

    // Starts a program (first argument) with its arguments, without a shell,
    // and does not wait for it.
    virtual int Run(const std::vector<std::string>& arguments) = 0;
};

// The platform's opener, for the lifetime of the program.
AddressOpener& PlatformAddressOpener();
