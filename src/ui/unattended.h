#pragma once

#include "ui/prompts.h"

#include <memory>

class QWidget;

namespace horalink {

// A run with no one at the screen, as process tests and scripts start the program: with
// HORALINK_UNATTENDED set, every box is told on standard error and answered with its default
// button, every input box is cancelled, and every window shown is told as well.
bool unattended();
std::unique_ptr<Prompts> unattendedPrompts();
// Tells the window's name once it is shown ("WINDOW frmlogon"), in an unattended run only.
void tellShown(const QWidget &window);

} // namespace horalink
