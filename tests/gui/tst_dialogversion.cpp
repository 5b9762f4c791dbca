// The about box: what it shows of the program's version information, where
// the labels go, the memo, the date of the program file, and the menu command
// that opens it.
#include "app/formmain.h"
#include "version/abouttext.h"
#include "version/version.h"
#include "views/dialogversion.h"
#include "views/mainicon.h"

#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QString kThanks = QStringLiteral("使ってくださってありがとうございます.");

QStringList MemoLines(const TDialogVersion& box)
{
    auto* memo = box.findChild<QPlainTextEdit*>("Memo");
    return memo ? memo->toPlainText().split('\n') : QStringList{"<no Memo>"};
}

QLabel* Label(const TDialogVersion& box, const char* name)
{
    return box.findChild<QLabel*>(name);
}

// A copy of `source` in `dir` whose last write was at noon of the given day.
QString FileWrittenOn(const QTemporaryDir& dir, const QString& source, const QDate& day)
{
    const QString path = dir.filePath("TodayMirvo");
    QFile::remove(path);
    if (!QFile::copy(source, path))
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)
        || !file.setFileTime(QDateTime(day, QTime(12, 0)), QFileDevice::FileModificationTime))
        return {};
    return path;
}

} // namespace

class TestDialogVersion : public QObject {
    Q_OBJECT
private slots:
    void showsTheProgramsVersionInformation();
    void memoHasTheVersionLinesAndTheDateAboveTheThanks();
    void labelsAreCentredOnTheBoxsLine();
    void layoutAsDesigned();
    void todayReadsTheProgramFilesDate_data();
    void todayReadsTheProgramFilesDate();
    void fileWithoutVersionInformationShowsEmptyTexts();
    void menuCommandOpensTheBoxModally();
};

void TestDialogVersion::showsTheProgramsVersionInformation()
{
    const TDialogVersion box(nullptr);
    QCOMPARE(Label(box, "labJpProductName")->text(), QStringLiteral("今日のミルボ"));
    QCOMPARE(Label(box, "labVersion")->text(), QStringLiteral("1.3.3.142 "));
    QCOMPARE(Label(box, "labUsProductName")->text(), QStringLiteral("Today Mirvo"));
    const QLabel* copyright = Label(box, "labCopyright");
    QVERIFY(copyright->text().contains("TodayMirvo"));
    // The line fits inside the panel's frame (where there are fonts to
    // measure: Windows' offscreen platform has none).
    if (!QFontInfo(copyright->font()).family().isEmpty())
        QVERIFY2(copyright->x() + copyright->fontMetrics().horizontalAdvance(copyright->text()) <= 241 - 2,
                 qPrintable(copyright->text()));
    QVERIFY(!Label(box, "imgIcon")->pixmap().isNull());
    QCOMPARE(box.windowTitle(), QStringLiteral("バージョン情報"));
}

void TestDialogVersion::memoHasTheVersionLinesAndTheDateAboveTheThanks()
{
    const TDialogVersion box(nullptr);
    const QStringList lines = MemoLines(box);
    QVERIFY2(lines.size() > 8, qPrintable(lines.join('|')));
    QCOMPARE(lines[0], QStringLiteral("今日のミルボ"));
    QCOMPARE(lines[1], QStringLiteral("Version 1.3.3.142"));
    QCOMPARE(lines[2], QString());
    QCOMPARE(lines[3], QStringLiteral("\"Today Mirvo\""));
    QCOMPARE(lines[4], QString());  // our own text follows
    QCOMPARE(lines[5], QStringLiteral("-- 作者 --"));
    QCOMPARE(lines.last(), QString());
    QCOMPARE(lines[lines.size() - 2], kThanks);
    const QString dateLine = lines[lines.size() - 3];
    QCOMPARE(dateLine, box.Today());
    QVERIFY2(QRegularExpression(R"(^[A-Z][a-z]{2}\. \d{1,2}(st|nd|rd|th) , \d{4}$)").match(dateLine).hasMatch(),
             qPrintable(dateLine));
    QCOMPARE(lines.count(dateLine), 1);
}

void TestDialogVersion::labelsAreCentredOnTheBoxsLine()
{
    const TDialogVersion box(nullptr);
    // Panel width 241 plus half of the 34-pixel icon, halved: 129.
    constexpr int kCentreLine = 241 + 34 / 2;
    const std::pair<const char*, int> labels[] = {{"labJpProductName", 12}, {"labVersion", 34}, {"labUsProductName", 53}};
    for (const auto& [name, top] : labels) {
        const QLabel* label = Label(box, name);
        QVERIFY2(label->width() > 10, name);
        QCOMPARE(label->width(), label->sizeHint().width());  // sized to its text
        QCOMPARE(label->x(), (kCentreLine - label->width()) / 2);
        QCOMPARE(label->y(), top);
    }
    // The three differ in width, so they sit at different places on one line.
    QVERIFY(Label(box, "labJpProductName")->x() != Label(box, "labUsProductName")->x());
}

void TestDialogVersion::layoutAsDesigned()
{
    TDialogVersion box(nullptr);
    QCOMPARE(box.size(), QSize(256, 294));
    QCOMPARE(box.minimumSize(), box.maximumSize());
    QVERIFY(box.isModal());
    QCOMPARE(box.findChild<QWidget*>("pnlAbout")->geometry(), QRect(8, 8, 241, 249));
    QCOMPARE(Label(box, "imgIcon")->geometry(), QRect(8, 16, 34, 34));
    auto* memo = box.findChild<QPlainTextEdit*>("Memo");
    QCOMPARE(memo->geometry(), QRect(8, 72, 225, 145));
    QVERIFY(memo->isReadOnly());
    QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(memo->document()->defaultTextOption().alignment(), Qt::AlignHCenter);
    QCOMPARE(memo->palette().color(QPalette::Base), box.palette().color(QPalette::Button));
    QCOMPARE(Label(box, "labCopyright")->pos(), QPoint(16, 230));
    auto* ok = box.findChild<QPushButton*>("OKButton");
    QCOMPARE(ok->geometry(), QRect(93, 263, 70, 26));
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QVERIFY(ok->isDefault());
    box.show();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    QCOMPARE(QApplication::focusWidget(), ok);
    // The memo is read-only but can be reached and scrolled with the keys.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), memo);
    QVERIFY(memo->verticalScrollBar()->maximum() > 0);
    QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
    QVERIFY(memo->textCursor().atEnd());
    QVERIFY(memo->verticalScrollBar()->value() > 0);
    QVERIFY(memo->viewport()->rect().contains(memo->cursorRect()));  // the last line is in view
    QTest::keyClick(memo, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), ok);
    QTest::keyClick(ok, Qt::Key_Return);  // the default button closes with OK
    QCOMPARE(box.result(), int(QDialog::Accepted));
    QVERIFY(!box.isVisible());
    // The window icon is the program's.
    QCOMPARE(box.windowIcon().cacheKey(), mirvo::WindowIcon().cacheKey());
}

void TestDialogVersion::todayReadsTheProgramFilesDate_data()
{
    QTest::addColumn<QDate>("written");
    QTest::addColumn<QString>("today");
    QTest::newRow("2nd") << QDate(2024, 3, 2) << "Mar. 2nd , 2024";
    QTest::newRow("22nd reads 22th") << QDate(1999, 6, 22) << "Jun. 22th , 1999";
    QTest::newRow("31st of December") << QDate(2025, 12, 31) << "Dec. 31th , 2025";
}

void TestDialogVersion::todayReadsTheProgramFilesDate()
{
    QFETCH(QDate, written);
    QFETCH(QString, today);
    QTemporaryDir dir;
    const QString program = FileWrittenOn(dir, QCoreApplication::applicationFilePath(), written);
    QVERIFY(!program.isEmpty());
    const TDialogVersion box(nullptr, program);
    QCOMPARE(box.Today(), today);
    const QStringList lines = MemoLines(box);
    QCOMPARE(lines[lines.size() - 3], today);
    QCOMPARE(lines[lines.size() - 2], kThanks);
}

void TestDialogVersion::fileWithoutVersionInformationShowsEmptyTexts()
{
    // The data file is a Windows DLL without a version resource.
    QTemporaryDir dir;
    const QString file = FileWrittenOn(dir, QStringLiteral(MIRVO_KOSMERA_PATH), QDate(2020, 1, 1));
    QVERIFY(!file.isEmpty());
    QVERIFY(!mirvo::TVersion(file.toStdString()).Loaded());
    const TDialogVersion box(nullptr, file);
    QCOMPARE(Label(box, "labJpProductName")->text(), QString());
    QCOMPARE(Label(box, "labVersion")->text(), QStringLiteral(" "));
    QCOMPARE(Label(box, "labUsProductName")->text(), QString());
    const QStringList lines = MemoLines(box);
    QCOMPARE(lines.mid(0, 4), (QStringList{"", "Version ", "", "\"\""}));
    QCOMPARE(lines[lines.size() - 3], QStringLiteral("Jan. 1st , 2020"));
}

void TestDialogVersion::menuCommandOpensTheBoxModally()
{
    QTemporaryDir dir;
    mirvo::ProgramPaths paths;
    paths.programFile = std::filesystem::path(dir.path().toStdString()) / "TodayMirvo";
    TTodayMirvo window(paths);
    window.show();
    QString seenTitle;
    QString seenVersion;
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<TDialogVersion*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seenTitle = box->windowTitle();
        seenVersion = box->findChild<QLabel*>("labVersion")->text();
        wasModal = box->isModal() && box->parentWidget() == &window;
        box->findChild<QPushButton*>("OKButton")->click();
    });
    window.RunCommand(TTodayMirvo::cmdAbout);  // returns when the box has closed
    QCOMPARE(seenTitle, QStringLiteral("バージョン情報"));
    QCOMPARE(seenVersion, QStringLiteral("1.3.3.142 "));
    QVERIFY(wasModal);
    QVERIFY(window.findChildren<TDialogVersion*>().isEmpty());  // freed after use
}

QTEST_MAIN(TestDialogVersion)
#include "tst_dialogversion.moc"
