#pragma once

#include <QDateTime>
#include <QObject>

namespace horalink {

// When the last keyboard or mouse input reached any window of the program, by the program's
// clock, so that a session left alone on the shared computer can be ended.
class InputWatch : public QObject
{
    Q_OBJECT

public:
    explicit InputWatch(QObject *parent = nullptr);

    // Counts afresh from now.
    void restart();
    // Whether no input came for this many seconds. A clock set back counts afresh from its
    // new time: the hour repeated in autumn must not keep an abandoned session open.
    bool quietFor(qint64 seconds);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QDateTime m_lastInput;
};

} // namespace horalink
