// The program speaks Japanese whatever the user's locale: Japanese formats
// for every date and number Qt shows, and Qt's own texts (file dialogs,
// message box buttons, edit fields' context menus, the calendar) from Qt's
// Japanese translation (Debian's qt6-translations-l10n).
#pragma once

#include <QLocale>
#include <QString>

class QCoreApplication;

namespace mirvo {

// The locale of every window of the program: Japanese, Japan.
QLocale JapaneseLocale();

// The folder that holds Qt's translations (qtbase_ja.qm).
QString QtTranslationsFolder();

// Makes the Japanese locale the default and installs Qt's Japanese
// translation into `app`. The C library's number formats stay those of the
// "C" locale (QApplication sets them from the environment). Returns false
// when Qt's translation is not installed: Qt's own texts then stay English.
// Call once, after the application object exists.
bool InstallJapanese(QCoreApplication& app);

} // namespace mirvo
