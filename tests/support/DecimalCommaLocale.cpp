#include "DecimalCommaLocale.h"

#include <locale.h>
#include <unistd.h>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>

namespace fs = std::filesystem;

namespace {

constexpr const char* kLocaleName = "de_DE.UTF-8";

bool SystemKnows(const char* name) {
    locale_t locale = ::newlocale(LC_ALL_MASK, name, static_cast<locale_t>(nullptr));
    if (!locale) return false;
    ::freelocale(locale);
    return true;
}

// A folder holding the compiled locale, shared by every test process of this
// user; several processes may race to make it, and the first rename wins.
std::optional<std::string> CompiledLocaleFolder() {
    fs::path cache = fs::temp_directory_path() / ("tarvine-test-locales-" + std::to_string(::getuid()));
    if (fs::exists(cache / kLocaleName)) return cache.string();
    std::error_code error;
    fs::create_directories(cache, error);
    std::string work = (cache / "making-XXXXXX").string();
    if (!::mkdtemp(work.data())) return std::nullopt;
    std::string command = "localedef -c -i de_DE -f UTF-8 '" + work + "/" + kLocaleName + "' >/dev/null 2>&1";
    std::system(command.c_str());
    fs::rename(fs::path(work) / kLocaleName, cache / kLocaleName, error);
    fs::remove_all(work, error);
    if (!fs::exists(cache / kLocaleName)) return std::nullopt;
    return cache.string();
}

std::optional<std::string> Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

void Restore(const char* name, const std::optional<std::string>& value) {
    if (value)
        ::setenv(name, value->c_str(), 1);
    else
        ::unsetenv(name);
}

}  // namespace

DecimalCommaLocale::DecimalCommaLocale()
    : m_previousLocale(std::setlocale(LC_ALL, nullptr)),
      m_previousLcAll(Variable("LC_ALL")),
      m_previousLocPath(Variable("LOCPATH")) {
    if (!SystemKnows(kLocaleName)) {
        std::optional<std::string> folder = CompiledLocaleFolder();
        if (!folder) {
            m_problem = "localedef could not compile de_DE.UTF-8 (is the locales package installed?)";
            return;
        }
        ::setenv("LOCPATH", folder->c_str(), 1);
    }
    ::setenv("LC_ALL", kLocaleName, 1);
    if (!std::setlocale(LC_ALL, ""))
        m_problem = "setlocale refused de_DE.UTF-8";
    else if (std::strcmp(std::localeconv()->decimal_point, ",") != 0)
        m_problem = "de_DE.UTF-8 has no decimal comma";
}

DecimalCommaLocale::~DecimalCommaLocale() {
    Restore("LC_ALL", m_previousLcAll);
    Restore("LOCPATH", m_previousLocPath);
    std::setlocale(LC_ALL, m_previousLocale.c_str());
}
