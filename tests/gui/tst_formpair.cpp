// The 相性 window with the main window: its figures against mirvo-today
// --pair --json and against biorhythm percents worked by hand, the choice of
// members by keyboard, the days good for both in the month window.
#include "app/formmain.h"
#include "base/sjis.h"
#include "modalwatch.h"
#include "views/formmonth.h"
#include "views/formpair.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <fstream>

namespace {

void WriteFile(const std::filesystem::path& p, const std::string& bytes)
{
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

// Hana and Ken were born ten days apart: with the cycles 23, 28 and 33 days
// the percents are 50 (1 + cos(2 pi 10 / c)): 4.14, 18.83 and 33.65, so 4,
// 19 and 34, and 19 overall.
std::string Members()
{
    return *koyomi::Utf8ToCp932("\"山田花子\",2,1990/01/01,12:00:00,0,\"\"\r\n"
                                "\"Ken\",1,1990/01/11,23:00:00,0,\"\"\r\n"
                                "\"佐藤真理\",2,1990/01/03,12:00:00,0,\"\"\r\n");
}

constexpr int kHandPercents[4] = {4, 19, 34, 19};

} // namespace

class TestFormPair : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void showsWhatMirvoTodayPrints();
    void membersAreChosenByKeyboard();
    void goodDaysAreMarkedAndShown();
    void keysFollowTheHelpPageAndThePairIsKept();

private:
    mirvo::ProgramPaths Paths() const
    {
        mirvo::ProgramPaths paths;
        paths.programFile = std::filesystem::path(FDir->path().toStdString()) / "TodayMirvo";
        return paths;
    }
    TMirvoPair* OpenPair()
    {
        QAction* item = FMain->Menu()->findChild<QAction*>("mniPair");
        if (item == nullptr)
            return nullptr;
        item->trigger();
        return MirvoPair;
    }
    // mirvo-today --pair A B --json (--next-good) on the same files and day.
    QJsonObject PairJson(const QString& a, const QString& b, bool nextGood = false) const
    {
        QStringList args = {"--pair", a, b, "--json", "--date", "2026-12-07",
                            "--members", QString::fromStdString(Paths().MemberFile().string()),
                            "--settings", FDir->filePath("TodayMirvo.ini")};
        if (nextGood)
            args << "--next-good";
        QProcess p;
        p.start(QStringLiteral(MIRVO_RUNTIME_DIR "/mirvo-today"), args);
        if (!p.waitForFinished(30000) || p.exitCode() != 0)
            return {};
        return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    }
    // Every figure of the window against the JSON's.
    void ExpectSameAs(TMirvoPair* window, const QJsonObject& json)
    {
        const QJsonObject pair = json["pair"].toObject();
        QVERIFY(!pair.isEmpty());
        const QJsonArray axes = pair["axes"].toArray();
        QCOMPARE(axes.size(), 3);
        for (int row = 0; row < 4; ++row) {
            const QJsonObject a = row < 3 ? axes[row].toObject() : pair;
            auto* bar = window->findChild<QProgressBar*>(QStringLiteral("barBio%1").arg(row));
            QVERIFY(bar != nullptr);
            QCOMPARE(bar->value(), a["bioCompatibility"].toInt());
            QVERIFY(bar->accessibleName().endsWith(QString::number(bar->value()) + "%"));
            QCOMPARE(window->findChild<QLabel*>(QStringLiteral("labStars%1").arg(row))->text(),
                     QString::number(a["starScore"].toInt()) + "点");
            QCOMPARE(window->findChild<QLabel*>(QStringLiteral("labRate%1").arg(row))->text(), a["rating"].toString());
        }
        for (int k = 0; k < 3; ++k) {
            const QJsonObject a = axes[k].toObject();
            QCOMPARE(window->findChild<QLabel*>(QStringLiteral("labAspect%1").arg(k))->text(),
                     QStringList({"健康", "感情", "知性"})[k] + ": " + a["strongestAspectText"].toString());
            auto* table = window->findChild<QTableWidget*>("tblStars");
            for (int b = 0; b < 10; ++b) {
                QCOMPARE(table->item(k, b)->text(), QString::number(a["starScoresFirstToSecond"][b].toInt()));
                QCOMPARE(table->item(3 + k, b)->text(), QString::number(a["starScoresSecondToFirst"][b].toInt()));
            }
        }
        QCOMPARE(window->findChild<QLabel*>("labSentence")->text(), pair["sentence"].toString());
    }

    std::unique_ptr<QTemporaryDir> FDir;
    std::unique_ptr<TTodayMirvo> FMain;
};

void TestFormPair::initTestCase()
{
    QVERIFY(testing_gui::LoadDataFile());
}

void TestFormPair::init()
{
    FDir = std::make_unique<QTemporaryDir>();
    WriteFile(Paths().MemberFile(), Members());
    WriteFile(FDir->filePath("TodayMirvo.ini").toStdString(), "");
    FMain = std::make_unique<TTodayMirvo>(Paths());
    FMain->ShowDay(koyomi::EncodeDate(2026, 12, 7));
}

void TestFormPair::cleanup()
{
    FMain.reset();
    QVERIFY(MirvoPair == nullptr);  // owned by the main window
    FDir.reset();
}

void TestFormPair::showsWhatMirvoTodayPrints()
{
    TMirvoPair* window = OpenPair();
    QVERIFY(window != nullptr);
    QVERIFY(window->isVisible());
    QVERIFY(!window->isModal());
    QCOMPARE(OpenPair(), window);  // at most one
    // The main window's member first, the next one of the list second.
    QCOMPARE(window->findChild<QComboBox*>("cmbFirst")->currentIndex(), 0);
    QCOMPARE(window->findChild<QComboBox*>("cmbSecond")->currentIndex(), 1);
    QVERIFY(window->windowTitle().contains("山田花子 と Ken の相性"));
    for (int row = 0; row < 4; ++row)
        QCOMPARE(window->findChild<QProgressBar*>(QStringLiteral("barBio%1").arg(row))->value(), kHandPercents[row]);
    ExpectSameAs(window, PairJson("0", "1"));
    QCOMPARE(window->findChild<QLabel*>("labDaysApart")->text(), "誕生日の間隔 10 日");
}

void TestFormPair::membersAreChosenByKeyboard()
{
    TMirvoPair* window = OpenPair();
    QVERIFY(window != nullptr);
    // Mnemonics reach the controls of the active window.
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    auto* second = window->findChild<QComboBox*>("cmbSecond");
    // Alt+2 reaches the second chooser; the arrow keys choose.
    QTest::keyClick(window, Qt::Key_2, Qt::AltModifier);
    QVERIFY(second->hasFocus() || QApplication::focusWidget() == second);
    QTest::keyClick(second, Qt::Key_Down);
    QCOMPARE(second->currentIndex(), 2);
    ExpectSameAs(window, PairJson("山田花子", "佐藤真理"));
    // The first chooser the same way, and the pair the other way round.
    auto* first = window->findChild<QComboBox*>("cmbFirst");
    QTest::keyClick(window, Qt::Key_1, Qt::AltModifier);
    QTest::keyClick(first, Qt::Key_Down);
    QTest::keyClick(first, Qt::Key_Down);
    QCOMPARE(first->currentIndex(), 2);
    QTest::keyClick(window, Qt::Key_2, Qt::AltModifier);
    QTest::keyClick(second, Qt::Key_Up);
    QTest::keyClick(second, Qt::Key_Up);
    QCOMPARE(second->currentIndex(), 0);
    ExpectSameAs(window, PairJson("2", "0"));
}

void TestFormPair::goodDaysAreMarkedAndShown()
{
    FMain->RunCommand(TTodayMirvo::cmdMonth);
    QVERIFY(MirvoMonth != nullptr);
    TMirvoPair* window = OpenPair();
    window->ChooseMembers(0, 2);
    const QJsonArray next = PairJson("0", "2", true)["days"].toArray();
    auto* list = window->findChild<QListWidget*>("lstGoodDays");
    // A copy: Esc below deletes the window that holds them.
    const std::vector<koyomi::TDateTime> days = window->GoodDays();
    QVERIFY(days.size() <= 5);
    QCOMPARE(next.isEmpty(), days.empty());
    if (days.empty()) {
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), "366 日先までに二人の好調日はありません.");
        QSKIP("this pair has no day good for both within a year");
    }
    QCOMPARE(list->count(), static_cast<int>(days.size()));
    const QString first = next[0].toObject()["date"].toString();
    QCOMPARE(QString::fromStdString(koyomi::FormatDateTime("yyyy'-'mm'-'dd", days.front())), first);
    QVERIFY(list->item(0)->text().startsWith(QString(first).replace('-', '/')));
    for (std::size_t i = 1; i < days.size(); ++i)
        QVERIFY(days[i] > days[i - 1]);
    // Marked in the month window while the 相性 window is open.
    for (const koyomi::TDateTime d : days)
        QVERIFY(MirvoMonth->IsPairDayMarked(d));
    QVERIFY(!MirvoMonth->IsPairDayMarked(FMain->Date()));
    // Enter on a day shows it in the main window.
    list->setFocus();
    list->setCurrentRow(static_cast<int>(days.size()) - 1);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(FMain->Date(), days.back());
    QApplication::processEvents();
    QVERIFY(window->isVisible());  // the key is the list's, not the Close button's
    QCOMPARE(MirvoPair, window);
    // Esc closes it, and the marks go with it.
    QTest::keyClick(window, Qt::Key_Escape);
    QApplication::processEvents();
    QVERIFY(MirvoPair == nullptr);
    QVERIFY(!MirvoMonth->IsPairDayMarked(days.front()));
}

void TestFormPair::keysFollowTheHelpPageAndThePairIsKept()
{
    TMirvoPair* window = OpenPair();
    QVERIFY(window != nullptr);
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    // Beside the main window, not over it, where the screen has room for
    // both side by side; on the screen in any case.
    const QRect area = window->screen()->availableGeometry();
    const QRect main = FMain->frameGeometry();
    const QRect pair = window->frameGeometry();
    const auto shown = [&] {
        return QString("main %1,%2 %3x%4, pair %5,%6 %7x%8, screen %9x%10")
            .arg(main.x()).arg(main.y()).arg(main.width()).arg(main.height())
            .arg(pair.x()).arg(pair.y()).arg(pair.width()).arg(pair.height())
            .arg(area.width()).arg(area.height());
    };
    if (std::max(area.right() - main.right(), main.left() - area.left()) >= pair.width())
        QVERIFY2(!pair.intersects(main), qPrintable(shown()));
    QVERIFY2(area.contains(pair), qPrintable(shown()));
    auto* first = window->findChild<QComboBox*>("cmbFirst");
    auto* second = window->findChild<QComboBox*>("cmbSecond");
    auto* list = window->findChild<QListWidget*>("lstGoodDays");
    auto* table = window->findChild<QTableWidget*>("tblStars");
    // Alt+S opens the star comparison with the focus in its table, Alt+C
    // the pair's page with the focus in the list of good days.
    QTest::keyClick(window, Qt::Key_S, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(table));
    QVERIFY(table->isVisible());
    QTest::keyClick(window, Qt::Key_C, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list));
    QVERIFY(list->isVisible());
    // From the second member one Tab reaches the list.
    QTest::keyClick(window, Qt::Key_2, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(second));
    QTest::keyClick(second, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list));
    // Enter away from the buttons leaves the window open.
    QTest::keyClick(window, Qt::Key_1, Qt::AltModifier);
    QTest::keyClick(first, Qt::Key_Down);
    QTest::keyClick(first, Qt::Key_Down);
    QTest::keyClick(first, Qt::Key_Return);
    QApplication::processEvents();
    QCOMPARE(MirvoPair, window);
    QVERIFY(window->isVisible());
    // Enter on 閉じる closes it.
    QWidget* close = window->findChild<QDialogButtonBox*>("btnBox")->button(QDialogButtonBox::Close);
    close->setFocus();
    QTest::keyClick(close, Qt::Key_Return);
    QApplication::processEvents();
    QVERIFY(MirvoPair == nullptr);
    // Opened again, it shows the pair it was closed with.
    window = OpenPair();
    QCOMPARE(window->findChild<QComboBox*>("cmbFirst")->currentIndex(), 2);
    QCOMPARE(window->findChild<QComboBox*>("cmbSecond")->currentIndex(), 1);
    ExpectSameAs(window, PairJson("2", "1"));
}

QTEST_MAIN(TestFormPair)
#include "tst_formpair.moc"
