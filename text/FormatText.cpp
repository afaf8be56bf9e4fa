#include "text/FormatText.h"

#include <locale.h>
#include <clocale>
#include <cstdarg>
#include <cstdio>

namespace {

// The "C" locale, made once; uselocale() applies it to the calling thread
// only, so the formatter stays safe in the encoder's worker threads.
locale_t NumericCLocale() {
    static const locale_t c = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

class ThreadLocaleScope {
public:
    explicit ThreadLocaleScope(locale_t locale) : m_previous(locale ? ::uselocale(locale) : nullptr) {}
    ~ThreadLocaleScope() {
        if (m_previous) ::uselocale(m_previous);
    }
    ThreadLocaleScope(const ThreadLocaleScope&) = delete;
    ThreadLocaleScope& operator=(const ThreadLocaleScope&) = delete;

private:
    locale_t m_previous;
};

}  // namespace

std::string FormatText(const char* format, ...) {
    ThreadLocaleScope cLocale(NumericCLocale());
    va_list arguments;
    va_start(arguments, format);
    va_list measuring;
    va_copy(measuring, arguments);
    int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, arguments);
    va_end(arguments);
    return text;
}
