#include "passwordbox.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QProxyStyle>

namespace horalink {

namespace {

class PlusPasswordStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '+';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

QLineEdit *passwordBox(const char *name, QWidget *parent)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    // One style for every password box of the run; a style sheet would cost each window that
    // has one a style of its own.
    static QPointer<PlusPasswordStyle> style;
    if (!style) {
        style = new PlusPasswordStyle;
        style->setParent(qApp);
    }
    box->setStyle(style);
    box->setEchoMode(QLineEdit::Password);
    box->setMaxLength(255);
    return box;
}

} // namespace horalink
