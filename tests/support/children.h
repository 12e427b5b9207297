#pragma once

#include <QObject>
#include <QString>

namespace horalink {

// A control of a window, found by the program's name for it, as a user's tools know it; the
// test ends at once where the window has none of that name and kind.
template <class T> T *child(const QObject &window, const QString &name)
{
    T *found = window.findChild<T *>(name);
    if (!found)
        qFatal("%s has no %s named %s", qPrintable(window.objectName()),
               T::staticMetaObject.className(), qPrintable(name));
    return found;
}

} // namespace horalink
