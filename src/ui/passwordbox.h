#pragma once

class QLineEdit;
class QWidget;

namespace horalink {

// A password box: every typed character is shown as "+", and it takes no more characters than
// the employee list keeps of a password.
QLineEdit *passwordBox(const char *name, QWidget *parent);

} // namespace horalink
