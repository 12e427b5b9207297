// Typed and stored dates and times: any text is read or refused, and what is read is a real
// stamp that the program shows in a form that reads back the same.
#include "db/datetimetext.h"

#include <cstdlib>
#include <ctime>
#include <iterator>

using namespace horalink;

namespace {

// Locales that write their dates in different orders, separators, digits and day halves; the
// seeds pick them with the letters P to Y.
const char *const LocaleNames[] = {"en_US", "de_DE", "en_GB", "fr_FR", "ja_JP",
                                   "ko_KR", "ar_EG", "bg_BG", "es_ES", "C"};

} // namespace

// A zone with summer time: the reader must never consult it.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    return 0;
}

// The first byte picks the locale; the rest is the text, typed or stored.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QLocale locale{QString::fromLatin1(LocaleNames[data[0] % std::size(LocaleNames)])};
    const auto *bytes = reinterpret_cast<const char *>(data + 1);
    const int length = int(size - 1);
    const QString text = QString::fromUtf8(bytes, length);
    if (const auto stamp = readDateTime(text, locale)) {
        if (!stamp->isValid() || stamp->timeSpec() != Qt::UTC || stamp->time().msec() != 0)
            std::abort();
        if (readDateTime(generalDateText(*stamp, locale), locale) != stamp)
            std::abort();
    }
    const QDateTime stored = parseStoredStamp(text);
    if (stored.isValid() && storedStamp(stored) != text)
        std::abort();
    if (const auto minute = storedMinute(bytes, length); minute && length >= 19) {
        const QDateTime whole = parseStoredStamp(QString::fromLatin1(bytes, 19));
        if (whole.isValid() && minuteNumber(whole) != *minute)
            std::abort();
    }
    return 0;
}
