#pragma once

#include <QLabel>

namespace horalink {

// A label that answers a click, as the UPDATE and grid-toggle captions do. It can also be
// reached with Tab and pressed with Space or Enter; its caption is underlined while it has the
// focus.
class ClickLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ClickLabel(const QString &caption, QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void underline(bool on);
};

} // namespace horalink
