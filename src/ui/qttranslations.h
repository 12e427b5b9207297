#pragma once

namespace horalink {

// Loads Qt's own translations for the language of the default locale (the system's unless one
// was set), so that Qt's dialogs, buttons and key names ("Strg+P") speak the language the dates
// are written in. The program's own texts are not Qt's and stay as they are. A language Qt has
// no translation for leaves Qt's texts in English; a second call replaces the first one's.
void loadQtTranslations();

} // namespace horalink
