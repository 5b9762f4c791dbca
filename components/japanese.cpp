#include "components/japanese.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <clocale>

namespace mirvo {

namespace {

// Qt's translation of the widgets and dialogs of Qt Base.
const char* const kQtBaseCatalogue = "qtbase_ja";

} // namespace

QLocale JapaneseLocale()
{
    return QLocale(QLocale::Japanese, QLocale::Japan);
}

QString QtTranslationsFolder()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool InstallJapanese(QCoreApplication& app)
{
    // Numbers in the files are read and written without the C library, but
    // nothing of the program may ever follow a German decimal comma.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(JapaneseLocale());
    auto* translator = new QTranslator(&app);
    if (!translator->load(QString::fromLatin1(kQtBaseCatalogue), QtTranslationsFolder())) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

} // namespace mirvo
