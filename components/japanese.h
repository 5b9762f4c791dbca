// The program speaks Japanese whatever the user's locale: Japanese formats
// for every date and number Qt shows, and Qt's own texts (file dialogs,
// message box buttons, edit fields' context menus, the calendar) from Qt's
// Japanese translation (Debian's qt6-translations-l10n).
#pragma once

#include <QLocale>
#include <QString>

class QCoreApplication;
class QFileDialog;

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

// Makes `dialog` Qt's own file dialog and shows its list in Japanese whatever
// the user's locale: sizes and dates in Japanese formats (Qt writes them in
// the system's locale, English under LANG=C), a folder's type from Qt's
// Japanese translation, and columns wide enough for what they show. Where
// the program uses the system's dialogs (Windows), the dialog stays as it is.
void JapaneseFileList(QFileDialog& dialog);

} // namespace mirvo
