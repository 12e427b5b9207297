#pragma once

#include "app/form.h"
#include "app/session.h"
#include "db/settings.h"

class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QTabWidget;
class QTableView;
class QTextEdit;
class QTimer;

namespace horalink {

class BoundEditRefused;
class ClickLabel;
class DataControl;
class DbError;

// The main window: the signed-on user's clock, totals and time log, the manager's panel,
// and the "About" page. Its public procedures are called from the other windows.
class frmmain : public Form
{
    Q_OBJECT

public:
    frmmain();

    void Form_Load() override;

    // The signed-on user's clock events and totals.
    void fxnclockin(const QString &thisusername);
    void fxnclockout(const QString &username);
    void fxngettotal(const QString &username);
    // The totals of the employee shown in the Management tab.
    void mangettotal(const QString &manuser);

    // A successful sign-on: from here on the window acts for this user.
    void signOn(const Session &session);
    const Session &session() const { return m_session; }
    const Switches &switches() const { return m_switches; }
    // Shows the effects of the program-wide switches, as stored or as just changed.
    void applySwitches(const Switches &switches);

    QTimer *Timer1;
    QGroupBox *Frame1;
    QLabel *lbldate;
    QLabel *lbltime;
    QTabWidget *SSTab1;
    DataControl *manuse;
    QLabel *Thismoney;

    // "Time Functions"
    QLabel *nameemp;
    QPushButton *clockin;
    QPushButton *clockout;
    QGroupBox *Frame7;
    QLabel *currhours;
    QGroupBox *frmmoney;
    QLabel *Label4;
    QLabel *currmoney;
    QFrame *Picture2;
    QLabel *Label13;
    ClickLabel *Label12;
    ClickLabel *Label11;
    QGroupBox *Frame2;
    QLineEdit *lgndatetime;
    QLabel *Label5;
    QLabel *Lastlogonvalue;
    DataControl *database;

    // "Management"
    QWidget *Picture1;
    QGroupBox *Frame4;
    QPushButton *Command2;
    QPushButton *Command1;
    QPushButton *Command3;
    QPushButton *Command4;
    QPushButton *Command5;
    QPushButton *ChgPass;
    QPushButton *Deleteemp;
    QGroupBox *Frame3;
    DataControl *mandata;
    QLineEdit *manlist;
    QLabel *Label6;
    QLineEdit *emoney;
    QLabel *Label7;
    QTextEdit *Text1;
    QLabel *Label9;
    QLabel *manehours;
    QLabel *Label10;
    QLabel *manemoney;
    ClickLabel *Label8;
    QFrame *Picture3;
    QTableView *DBGrid1;

    // "About"
    QGroupBox *Frame5;
    QLabel *Label1;
    QLabel *cmpname;
    QLabel *company;

    QMenuBar *menuBar;
    QMenu *usermenu;
    QAction *Clkin;
    QAction *clkout;
    QAction *prntdata;
    QAction *dltdata;
    QAction *dltlast;
    QAction *chpass;
    QAction *exitmain;

protected:
    void Form_Unload() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildTimeFunctions();
    QWidget *buildManagement();
    QWidget *buildAbout();
    void buildMenu();
    void connectHandlers();

    void Timer1_Timer();
    void exitmain_Click();
    // The signed-on user leaves: typed edits are stored or reported, and the windows that act
    // for the user go, so that none of them serves whoever signs on next.
    void leave();
    void reportDroppedEdit(const BoundEditRefused &refusal);
    void mandata_Reposition();

    void clockin_Click();
    void Clkin_Click();
    void clockout_Click();
    void clkout_Click();
    void clockInCommand();

    void lgndatetime_Change();
    void Label11_Click();
    void Label12_Click();
    void fxnupdate();
    void reportUpdateFailure(const DbError &error);
    void dltlast_Click();
    void Label8_Click();
    // The grid shows the log as it is whenever it is seen: after every command, and when it
    // comes into view.
    void refreshGrid();

    void Command1_Click();
    void Command3_Click();
    void manprintlog(const QString &endingDate);
    void prntdata_Click();

    void Command2_Click();
    void Command4_Click();
    void manclearlog(const QString &endingDate);
    void dltdata_Click();
    void Command5_Click();
    void ChgPass_Click();
    void chpass_Click();
    void Deleteemp_Click();

    Session m_session;
    Switches m_switches;
};

} // namespace horalink
