// Typed and stored dates and times: any text is read or refused, and what is read is a real
// stamp that reads back the same.
#include "db/datetimetext.h"

#include <cstdlib>

using namespace horalink;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto *bytes = reinterpret_cast<const char *>(data);
    const QString text = QString::fromUtf8(bytes, qsizetype(size));
    for (const char *name : {"en_US", "de_DE", "ja_JP"}) {
        const QLocale locale{QString::fromLatin1(name)};
        if (const auto stamp = readDateTime(text, locale)) {
            if (!stamp->isValid() || stamp->time().msec() != 0)
                std::abort();
            if (readDateTime(generalDateText(*stamp, locale), locale) != stamp)
                std::abort();
        }
    }
    const QDateTime stored = parseStoredStamp(text);
    if (stored.isValid() && storedStamp(stored) != text)
        std::abort();
    if (const auto minute = storedMinute(bytes, int(size)); minute && size >= 19) {
        const QDateTime whole = parseStoredStamp(QString::fromLatin1(bytes, 19));
        if (whole.isValid() && minuteNumber(whole) != *minute)
            std::abort();
    }
    return 0;
}
