#include "components/japanese.h"

#include "components/windowsystem.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QScreen>
#include <QTreeView>
#include <QLibraryInfo>
#include <QTranslator>

#include <algorithm>
#include <clocale>

namespace mirvo {

namespace {

// Qt's translation of the widgets and dialogs of Qt Base.
const char* const kQtBaseCatalogue = "qtbase_ja";

// The columns of Qt's file list.
constexpr int kSizeColumn = 1;
constexpr int kTypeColumn = 2;
constexpr int kDateColumn = 3;
constexpr int kColumnPadding = 16;  // pixels beside the widest text
constexpr int kDialogFrame = 48;    // the dialog's margins, the list's frame and its scroll bar

// The size and the date of a file in Japanese formats, and "フォルダ" (Qt's
// translation of its file dialog's word) as the type of a folder: Qt's file
// list takes these from the system's locale and from a context that Qt's
// Japanese translation does not cover.
class TJapaneseFileList : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || !index.isValid())
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        switch (index.column()) {
            case kSizeColumn:
                if (files->isDir(source))
                    break;
                return JapaneseLocale().formattedDataSize(files->size(source), 1, QLocale::DataSizeTraditionalFormat);
            case kTypeColumn:
                if (files->isDir(source))
                    return QCoreApplication::translate("QFileDialog", "Folder");
                break;
            case kDateColumn:
                return JapaneseLocale().toString(files->lastModified(source), QLocale::ShortFormat);
            default:
                break;
        }
        return QIdentityProxyModel::data(index, role);
    }
};

} // namespace

QLocale JapaneseLocale()
{
    return QLocale(QLocale::Japanese, QLocale::Japan);
}

QString QtTranslationsFolder()
{
#ifdef Q_OS_WIN
    // The Windows program carries Qt's translation beside it.
    return QCoreApplication::applicationDirPath() + QLatin1String("/translations");
#else
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#endif
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

void JapaneseFileList(QFileDialog& dialog)
{
    // Windows' own dialog speaks the language of Windows by itself.
    if (UsesSystemFileDialogs())
        return;
    // Qt's own dialog, which speaks Japanese; a desktop's dialog would speak the user's locale.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new TJapaneseFileList(&dialog));
    auto* list = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!list)
        return;
    // As wide as the widest size and date (and the head above them).
    QHeaderView* header = list->header();
    const QFontMetrics metrics = list->fontMetrics();
    const QLocale japanese = JapaneseLocale();
    const QString widestSize = japanese.formattedDataSize(999'900'000'000, 1, QLocale::DataSizeTraditionalFormat);
    const QString widestDate = japanese.toString(QDateTime(QDate(2000, 12, 28), QTime(20, 58)), QLocale::ShortFormat);
    const QString widestType = QCoreApplication::translate("QFileDialog", "Folder");
    const auto widen = [&](int column, const QString& widest) {
        const int head = header->fontMetrics().horizontalAdvance(list->model()->headerData(column, Qt::Horizontal).toString());
        header->resizeSection(column, std::max({header->sectionSize(column), metrics.horizontalAdvance(widest), head})
                                          + kColumnPadding);
    };
    widen(kSizeColumn, widestSize);
    widen(kTypeColumn, widestType);
    widen(kDateColumn, widestDate);
    // The dialog as wide as its side bar and every column, within the screen.
    const QWidget* sideBar = dialog.findChild<QWidget*>(QStringLiteral("sidebar"));
    const int wanted = header->length() + (sideBar ? sideBar->sizeHint().width() : 0) + kDialogFrame;
    const QScreen* screen = dialog.screen();
    const int room = screen ? screen->availableGeometry().width() : wanted;
    const QSize size = dialog.sizeHint();
    dialog.resize(std::clamp(wanted, size.width(), std::max(size.width(), room)), size.height());
}

} // namespace mirvo
