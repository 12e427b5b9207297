#pragma once

#include <QPointer>
#include <QWidget>

class QPushButton;

namespace horalink {

// A window whose border can be dragged, with only a close box.
inline constexpr Qt::WindowFlags SizableWindow =
    Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;
// A window with a fixed single border and only a close box.
inline constexpr Qt::WindowFlags FixedWindow = Qt::Window | Qt::MSWindowsFixedSizeDialogHint |
                                               Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                                               Qt::CustomizeWindowHint;
// The same as a dialog of the main window: no taskbar button of its own.
inline constexpr Qt::WindowFlags FixedDialog = FixedWindow | Qt::Dialog;

// A window of the program: one instance for the run, made by the forms registry, which runs
// its load procedure once it is registered. Closing it by its close box unloads it.
class Form : public QWidget
{
    Q_OBJECT

public:
    explicit Form(Qt::WindowFlags flags = Qt::Window);

    // Runs once, right after the window is created.
    virtual void loaded() {}
    // Runs whenever the window becomes the active window.
    virtual void activated() {}

    // Places the window in the middle of its screen.
    void centre();
    // Sizes from the window designs are in twips, 1/1440 inch, at the screen's logical
    // resolution.
    static int twips(int value);
    void setFixedClientSize(int widthTwips, int heightTwips);

    // The button that Enter presses.
    void setDefaultButton(QPushButton *button);
    QPushButton *defaultButton() const;
    // The button that Esc presses while it can be seen; without one, Esc is the close box.
    void setCancelButton(QPushButton *button);

protected:
    // The close box, before the window is unloaded; a window that ends the program says so
    // here.
    virtual void closeBoxClicked() {}
    // Esc, when the focus is not in a box with typing to take back: the cancel button, or
    // else the close box. A window that Esc must not end says so here.
    virtual void escapePressed();

    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QPointer<QPushButton> m_defaultButton;
    QPointer<QPushButton> m_cancelButton;
};

} // namespace horalink
