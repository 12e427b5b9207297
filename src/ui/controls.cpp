#include "controls.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace horalink {

QLabel *label(const char *name, const QString &caption, QWidget *parent)
{
    return named(new QLabel(caption, parent), name);
}

QPushButton *button(const char *name, const QString &caption, QWidget *parent,
                    const QString &toolTip)
{
    auto *button = named(new QPushButton(caption, parent), name);
    button->setToolTip(toolTip);
    return button;
}

QGroupBox *frame(const char *name, const QString &caption, QWidget *parent)
{
    return named(new QGroupBox(caption, parent), name);
}

} // namespace horalink
