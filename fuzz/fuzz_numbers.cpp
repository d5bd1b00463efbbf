// The money, number and date parsers read whatever a collector types. They must
// never crash, and what they accept must come back unchanged through the display.
#include "dates/LocaleFormats.h"

#include <QLocale>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    static const char* const kLocales[] = {"en_US", "de_DE", "ja_JP", "C", "fr_FR", "ar_EG", "de_CH", "hi_IN"};
    QLocale::setDefault(QLocale(QString::fromLatin1(kLocales[data[0] % 8])));
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));

    if (const auto money = ParseCurrency(text)) {
        const auto back = ParseCurrency(FormatCurrency(*money));
        if (!back || *back != *money) std::abort();
    }
    (void)ParseNumber(text);
    (void)ParseWholeNumber(text, INT32_MIN, INT32_MAX);
    if (const auto date = ParseDate(text)) {
        if (!date->isValid()) std::abort();
        const auto back = ParseDate(FormatShortDate(*date));
        if (!back || *back != *date) std::abort();
    }
    return 0;
}
