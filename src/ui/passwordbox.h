#pragma once

class QLineEdit;

namespace horalink {

// Makes a text box a password box that shows every typed character as "+".
void showTypedAsPlus(QLineEdit *box);

} // namespace horalink
