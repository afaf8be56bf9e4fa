#pragma once

#include <string>

// How the opened program's window shows. The desktop decides that here; the
// value is kept so that callers read as they do on every platform.
inline constexpr int kShowNormal = 5;

// Opens the address with the desktop and, when the desktop cannot, with the
// program registered for web pages. Returns above 32 on success, else the
// failure code for ReportOpenError.
int OpenAddress(const std::string& address, int showCommand);

// Tells the user in a message box that an address could not be opened and why.
void ReportOpenError(int code);

// Opens the address; when that fails, beeps and reports the error (for a
// local folder, which folder it was). Returns whether the address was opened.
bool OpenAddressOrReport(const std::string& address);
