#pragma once

#include <optional>
#include <string>

// Puts the process into a German desktop's locale, whose numbers have a
// decimal comma: LC_ALL=de_DE.UTF-8 in the environment (so child processes
// inherit it too) and the C library's locale taken from the environment, as
// QApplication does at start. When the system has no such locale it is
// compiled with localedef into a cache folder under the temporary folder and
// found through LOCPATH. The destructor restores the locale and environment.
class DecimalCommaLocale {
public:
    DecimalCommaLocale();
    ~DecimalCommaLocale();
    DecimalCommaLocale(const DecimalCommaLocale&) = delete;
    DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

    // Empty when the locale is in force; otherwise why it is not.
    const std::string& Problem() const { return m_problem; }

private:
    std::string m_previousLocale;
    std::optional<std::string> m_previousLcAll;
    std::optional<std::string> m_previousLocPath;
    std::string m_problem;
};
