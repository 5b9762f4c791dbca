// Qt's own texts and formats are Japanese whatever the user's locale: the
// member file dialog, message box buttons, an edit field's context menu and
// the calendar. Runs as tst_japanese under LANG=C and as tst_japanese_de
// under a German locale.
#include "components/japanese.h"
#include "components/japanesecalendar.h"
#include "components/windowslook.h"
#include "modalwatch.h"
#include "settings/formoption.h"
#include "views/picturefile.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QTreeView>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestJapanese : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void formatsAreJapaneseWhateverTheLocale();
    void memberFileDialogIsJapanese();
    void fileListIsJapanese();
    void saveDialogsStartInPicturesOrDocumentsThenTheLastFolder();
    void messageBoxButtonsAreJapanese();
    void editFieldContextMenuIsJapanese();
    void calendarIsJapanese();
};

void TestJapanese::initTestCase()
{
    // The run is meant to prove something only under a locale that is not Japanese.
    QVERIFY2(QLocale::system().language() != QLocale::Japanese, qPrintable(QLocale::system().name()));
    QVERIFY(testing_gui::LoadDataFile());
    QVERIFY2(mirvo::InstallJapanese(*QCoreApplication::instance()),
             qPrintable("no qtbase_ja.qm in " + mirvo::QtTranslationsFolder()));
    mirvo::InstallProgramLook(*qobject_cast<QApplication*>(QCoreApplication::instance()));
}

void TestJapanese::formatsAreJapaneseWhateverTheLocale()
{
    const QLocale locale;
    QCOMPARE(locale.language(), QLocale::Japanese);
    QCOMPARE(locale.toString(QDate(1975, 11, 23), QStringLiteral("yyyy年M月d日 dddd")),
             QString("1975年11月23日 日曜日"));
    QCOMPARE(locale.toString(1234.5, 'f', 1), QString("1,234.5"));
    QCOMPARE(locale.firstDayOfWeek(), Qt::Sunday);
    // The C library reads numbers with a decimal point, whatever LC_ALL says.
    QCOMPARE(std::strtod("0.5", nullptr), 0.5);
}

void TestJapanese::memberFileDialogIsJapanese()
{
    QTemporaryDir dir;
    TTodayMirvoOption w(dir.path().toStdString());
    w.show();
    QString title;
    QStringList buttons;
    QStringList filters;
    QObject context;
    testing_gui::WhenActiveModal<QFileDialog>(&context, [&](QFileDialog& dialog) {
        title = dialog.windowTitle();
        for (QAbstractButton* b : dialog.findChild<QDialogButtonBox*>()->buttons())
            buttons << b->text();
        if (auto* types = dialog.findChild<QComboBox*>("fileTypeCombo"))
            for (int i = 0; i < types->count(); ++i)
                filters << types->itemText(i);
        dialog.reject();
    });
    w.findChild<QAction*>("mniSaveToFile")->trigger();
    QCOMPARE(title, QString("名前を付けて保存"));
    QVERIFY2(buttons.contains("キャンセル"), qPrintable(buttons.join('|')));
    QVERIFY2(buttons.contains("保存(&S)"), qPrintable(buttons.join('|')));
    QCOMPARE(filters, QStringList({"カンマテキスト (*.csv)", "全てのファイル (*.*)"}));
}

// Qt's list writes sizes and dates in the system's locale and a folder's type
// from a context its Japanese translation lacks: all three English under C.
void TestJapanese::fileListIsJapanese()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("sub"));
    QFile file(dir.filePath("a.csv"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(QByteArray(2048, 'x')) == 2048);
    file.close();
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.setFileTime(QDateTime(QDate(1975, 11, 23), QTime(12, 34)), QFileDevice::FileModificationTime));
    file.close();
    QFileDialog dialog(nullptr, QString(), dir.path());
    mirvo::JapaneseFileList(dialog);
    dialog.show();
    auto* list = dialog.findChild<QTreeView*>("treeView");
    QVERIFY(list);
    QTRY_COMPARE(list->model()->rowCount(list->rootIndex()), 2);
    QStringList rows;
    for (int r = 0; r < 2; ++r) {
        QStringList cells;
        for (int c = 0; c < 4; ++c)
            cells << list->model()->index(r, c, list->rootIndex()).data().toString();
        if (cells[0] == "sub")
            cells[3].clear();  // the folder's date is today's
        rows << cells.join('|');
    }
    rows.sort();
    QCOMPARE(rows, QStringList({"a.csv|2.0 KB|" + rows[0].section('|', 2, 2) + "|1975/11/23 12:34", "sub||フォルダ|"}));
    // Each column as wide as what it shows.
    const QFontMetrics metrics = list->fontMetrics();
    QVERIFY(list->header()->sectionSize(1) >= metrics.horizontalAdvance("2.0 KB"));
    QVERIFY(list->header()->sectionSize(3) >= metrics.horizontalAdvance("1975/11/23 12:34"));
    dialog.reject();
}

// Pictures are saved from ピクチャ and calendar files from ドキュメント at
// first, then each from the folder the user chose last for its kind.
void TestJapanese::saveDialogsStartInPicturesOrDocumentsThenTheLastFolder()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("画像") && QDir(dir.path()).mkpath("文書") && QDir(dir.path()).mkpath("選んだ"));
#ifdef Q_OS_WIN
    // The shell's known folders of the Wine prefix.
    const auto known = [](QStandardPaths::StandardLocation where) {
        const QString folder = QStandardPaths::writableLocation(where);
        return QFileInfo(folder).isDir() ? folder : QDir::homePath();
    };
    const QString pictures = known(QStandardPaths::PicturesLocation);
    const QString documents = known(QStandardPaths::DocumentsLocation);
#else
    // The XDG user folders, named in the user's folders file.
    const QString pictures = dir.filePath("画像");
    const QString documents = dir.filePath("文書");
    QFile names(dir.filePath("user-dirs.dirs"));
    QVERIFY(names.open(QIODevice::WriteOnly));
    names.write(("XDG_PICTURES_DIR=\"" + pictures + "\"\nXDG_DOCUMENTS_DIR=\"" + documents + "\"\n").toUtf8());
    names.close();
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
#endif
    const QString chosenFolder = dir.filePath("選んだ");
    QStringList opened;
    QObject context;
    const auto answer = [&](bool choose) {
        testing_gui::WhenActiveModal<QFileDialog>(&context, [&, choose](QFileDialog& dialog) {
            opened << QDir(dialog.directory()).canonicalPath();
            if (choose) {
                dialog.selectFile(chosenFolder + "/x.png");
                QMetaObject::invokeMethod(&dialog, "accept");
            } else {
                dialog.reject();
            }
        });
    };
    answer(true);
    QCOMPARE(mirvo::ChooseSaveFile(nullptr, "画像の保存", "ミルボ_2026-12-07.png", "PNG 画像 (*.png)"),
             chosenFolder + "/x.png");
    answer(false);
    mirvo::ChooseSaveFile(nullptr, "画像の保存", "ミルボ_2026-12.png", "PNG 画像 (*.png)");
    answer(false);
    mirvo::ChooseSaveFile(nullptr, "エクスポート", "ミルボ_2026-12.ics", "iCalendar (*.ics)");
#ifndef Q_OS_WIN
    if (oldConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", oldConfig);
#endif
    QCOMPARE(opened, QStringList({QDir(pictures).canonicalPath(), QDir(chosenFolder).canonicalPath(),
                                  QDir(documents).canonicalPath()}));
}

void TestJapanese::messageBoxButtonsAreJapanese()
{
    QMessageBox box(QMessageBox::Warning, "エラー", "本文", QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Yes)->text(), QString("はい(&Y)"));
    QCOMPARE(box.button(QMessageBox::No)->text(), QString("いいえ(&N)"));
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QString("キャンセル"));
}

void TestJapanese::editFieldContextMenuIsJapanese()
{
    QTemporaryDir dir;
    TTodayMirvoOption w(dir.path().toStdString());
    auto* name = w.findChild<QLineEdit*>("txtName");
    name->setText("山田");
    const std::unique_ptr<QMenu> menu(name->createStandardContextMenu());
    QStringList texts;
    for (QAction* a : menu->actions())
        if (!a->isSeparator())
            texts << a->text().section('\t', 0, 0);
    for (const char* expected : {"元に戻す", "やり直す", "切り取り", "コピー", "貼り付け", "削除", "すべてを選択"})
        QVERIFY2(std::any_of(texts.cbegin(), texts.cend(),
                             [&](const QString& t) { return t.startsWith(QString::fromUtf8(expected)); }),
                 qPrintable(expected + (" not in " + texts.join('|'))));
}

void TestJapanese::calendarIsJapanese()
{
    // The picker's calendar, and a calendar of Qt's with the default locale.
    mirvo::TJapaneseCalendar picker;
    picker.setSelectedDate(QDate(1975, 11, 23));
    QCOMPARE(picker.TitleText(), QString("1975年11月"));
    QCalendarWidget plain;
    plain.setSelectedDate(QDate(1975, 11, 23));
    QCOMPARE(plain.findChild<QAbstractButton*>("qt_calendar_monthbutton")->text(), QString("11月"));
    QCOMPARE(plain.firstDayOfWeek(), Qt::Sunday);
}

QTEST_MAIN(TestJapanese)
#include "tst_japanese.moc"
