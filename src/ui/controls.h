#pragma once

#include <QString>

class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;

namespace horalink {

// Gives a control the program's own name for it, by which tests and users know it.
template <class T> T *named(T *control, const char *name)
{
    control->setObjectName(QLatin1String(name));
    return control;
}

QLabel *label(const char *name, const QString &caption, QWidget *parent);
QPushButton *button(const char *name, const QString &caption, QWidget *parent,
                    const QString &toolTip = {});
QGroupBox *frame(const char *name, const QString &caption, QWidget *parent);

// Takes back everything typed into an edit box since the program last set its text. False
// when the widget is no such box (a password box keeps nothing to take back) or nothing was
// typed.
bool undoTyping(QWidget *box);

} // namespace horalink
