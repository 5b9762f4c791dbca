// The main window: start-up choices, the day commands, the title and saving at exit.
#include "app/biochart.h"
#include "app/formmain.h"
#include "base/stringtable.h"
#include "components/mirvolabel.h"
#include "components/multilinelabel.h"
#include "koyomi/datetime.h"
#include "modalwatch.h"
#include "testfiles.h"
#include "version/appinfo.h"

#include "help/helpwindow.h"
#include "help/htmlhelpviewer.h"
#include "modalwatch.h"
#include "settings/formoption.h"
#include "views/formmonth.h"
#include "views/formpair.h"
#include "views/mirvoinfo.h"

#include <QAccessible>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTabWidget>
#include <QDateTimeEdit>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QTest>

#include <cmath>

using testsupport::ReadFile;
using testsupport::WriteFile;
using testsupport::ThreeMembersCsv;

namespace {

QString LabelText(const QWidget& w, const char* name)
{
    auto* label = w.findChild<mirvo::TMirvoLabel*>(name);
    return label ? label->GetCaption() : QString("<no %1>").arg(name);
}

} // namespace

class TestFormMain : public QObject {
    Q_OBJECT
private slots:
    void defaultMemberIndexOutsideTheListShowsMemberZero_data();
    void defaultMemberIndexOutsideTheListShowsMemberZero();
    void emptyListGivesTheAnonymousMember();
    void welcomeAtTheFirstStartAddsTheFirstMember();
    void f1OpensThePageOfTheWindowInUse();
    void printPreviewOpensReadable();
    void windowsOpenWhollyOnTheScreenBesideTheMainWindow();
    void menuKeysAreEachTheirOwn();
    void positionIsKeptAfterAStartWarning();
    void titleCarriesTheMembersName();
    void dayCommandsByShortcut();
    void windowPositionIsKeptBetweenRuns();
    void unknownCommandDoesNothing();
    void failedMemberSaveStillSavesTheSettings();
    void windowShowsWhatTheCoreComputed();
    // Last: it runs the application's message loop to its end.
    void quitEndsTheProgramWithEveryWindow();

private:
    mirvo::ProgramPaths PathsIn(const QTemporaryDir& dir) const
    {
        return testsupport::ProgramPathsIn(dir.path().toStdString());
    }
};

void TestFormMain::defaultMemberIndexOutsideTheListShowsMemberZero_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("5") << 5;
    QTest::newRow("-1") << -1;
    QTest::newRow("-7") << -7;
}

void TestFormMain::defaultMemberIndexOutsideTheListShowsMemberZero()
{
    QFETCH(int, index);
    QTemporaryDir dir;
    const auto paths = PathsIn(dir);
    WriteFile(paths.MemberFile(), ThreeMembersCsv());
    WriteFile(paths.SettingsFile(), "[Option]\r\nDefaultUserIndex=" + std::to_string(index) + "\r\n");
    {
        TTodayMirvo w(paths);
        QCOMPARE(QString::fromStdString(w.Member().Name), QString("Hana"));
        QCOMPARE(w.Options().DefaultUserIndex, 0);
    }
    QVERIFY(ReadFile(paths.SettingsFile()).find("DefaultUserIndex=0") != std::string::npos);
}

void TestFormMain::emptyListGivesTheAnonymousMember()
{
    QTemporaryDir dir;
    const auto paths = PathsIn(dir);
    const koyomi::TDateTime before = koyomi::Now();
    {
        TTodayMirvo w(paths);
        QVERIFY(w.Member().Name.empty());
        QCOMPARE(w.windowTitle(), QString::fromStdString(mirvo::AppFileDescription()));
        // Born today at noon: no made-up birth time for someone added from these fields.
        QCOMPARE(w.Member().Birthday, std::floor(before) + 0.5);
        // Born today: every reading starts at zero.
        QCOMPARE(LabelText(w, "labBioHealth"), QString("0%"));
        // Percents and totals are sized to their text with the right edge kept.
        for (const char* name : {"labBioHealth", "labBioFeel", "labBioIntell"})
            QCOMPARE(w.findChild<QWidget*>(name)->geometry().right() + 1, 105);
        for (const char* name : {"labStarHealth", "labStarFeel", "labStarIntell"})
            QCOMPARE(w.findChild<QWidget*>(name)->geometry().right() + 1, 161);
    }
    QVERIFY(!std::filesystem::exists(paths.MemberFile()));
    QVERIFY(ReadFile(paths.SettingsFile()).find("DefaultUserIndex=-1") != std::string::npos);
}

// Every text of a window's accessibility tree, depth first.
QStringList AccessibleTexts(QAccessibleInterface* iface)
{
    QStringList texts;
    if (!iface)
        return texts;
    texts << iface->text(QAccessible::Name) << iface->text(QAccessible::Description);
    for (int i = 0; i < iface->childCount(); ++i)
        texts << AccessibleTexts(iface->child(i));
    return texts;
}

void TestFormMain::welcomeAtTheFirstStartAddsTheFirstMember()
{
    QVERIFY(testing_gui::LoadDataFile());
    QTemporaryDir dir;
    const auto paths = PathsIn(dir);
    TTodayMirvo w(paths);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QString welcome("今日のミルボは, 誕生日からその日のバイオリズムと星の巡りを読み, "
                          "健康・感情・知性の調子を伝えます.\n\nまず, あなた自身を登録しましょう. "
                          "名前と誕生日を入れて OK を押すと, 今日の鑑定が出ます.");
    auto* panel = w.findChild<QWidget*>("pnlWelcome");
    QVERIFY(panel && panel->isVisible());
    QVERIFY(w.findChild<QLabel*>("labWelcome")->text() == welcome);
    // A screen reader meets the welcome, and nothing of the hidden reading of nobody.
    QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(&w);
    QVERIFY(AccessibleTexts(tree).contains(welcome));
    QCOMPARE(tree->text(QAccessible::Description), welcome);
    for (const QString& text : AccessibleTexts(tree)) {
        for (const char* reading : {"パーセント", "健康:", "星 ", "点", "グラフ"})
            QVERIFY2(!text.contains(QString::fromUtf8(reading)), qPrintable(text));
    }
    // The meaningless reading of nobody is not shown.
    for (const char* name : {"labBioHealth", "labStarFeel", "labMesIntell", "imgBio", "labMessage"})
        QVERIFY2(!w.findChild<QWidget*>(name)->isVisible(), name);
    // Enter on the welcome's button opens the settings window on a new member.
    bool opened = false;
    bool emptyNameInFocus = false;
    testing_gui::WhenActiveModal<TTodayMirvoOption>(&w, [&](TTodayMirvoOption& settings) {
        opened = true;
        auto* name = settings.findChild<QLineEdit*>("txtName");
        emptyNameInFocus = name->text().isEmpty() && settings.focusWidget() == name;
        QTest::keyClicks(name, "Hanako");
        settings.findChild<QDateTimeEdit*>("edtDate")->setDate(QDate(1975, 11, 23));
        settings.findChild<QPushButton*>("btnOK")->click();
    });
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(opened);
    QVERIFY(emptyNameInFocus);
    QCOMPARE(w.MemberList().Count(), 1);
    QCOMPARE(QString::fromStdString(w.Member().Name), QString("Hanako"));
    QVERIFY(!panel->isVisible());
    QVERIFY(w.findChild<QWidget*>("labBioHealth")->isVisible());
    QCOMPARE(LabelText(w, "labBioHealth"), QString::number(w.LastEvaluation().reading.BioPercent[0]) + "%");
    QCOMPARE(w.windowTitle(), QString("今日のミルボ [Hanako]"));
}

void TestFormMain::f1OpensThePageOfTheWindowInUse()
{
    QVERIFY(testing_gui::LoadDataFile());
    QTemporaryDir dir;
    const auto paths = PathsIn(dir);
    QVERIFY(QFile::copy(MIRVO_RUNTIME_DIR "/TodayMirvo.chm", QString::fromStdString(paths.HelpFile().string())));
    WriteFile(paths.MemberFile(), ThreeMembersCsv());
    TTodayMirvo w(paths);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const auto pageAfterF1 = [](QWidget* where) {
        where->setFocus();
        QTest::keyClick(where, Qt::Key_F1);
        mirvo::THelpWindow* help = mirvo::OpenHelpWindow();
        return help ? help->CurrentTopic() : QString("<no help window>");
    };
    QCOMPARE(pageAfterF1(&w), QString("/mainwindow.htm"));
    w.RunCommand(TTodayMirvo::cmdMonth);
    QVERIFY(MirvoMonth);
    QCOMPARE(pageAfterF1(MirvoMonth), QString("/month.htm"));
    w.RunCommand(TTodayMirvo::cmdInfo);
    QVERIFY(MirvoInfo);
    QCOMPARE(pageAfterF1(MirvoInfo->findChild<QPushButton*>("btnOK")), QString("/detail.htm"));
    // The settings window: the page of the tab in use.
    QStringList pages;
    testing_gui::WhenActiveModal<TTodayMirvoOption>(&w, [&](TTodayMirvoOption& settings) {
        pages << pageAfterF1(settings.findChild<QLineEdit*>("txtName"));
        auto* tabs = settings.findChild<QTabWidget*>("pnlTab");
        tabs->setCurrentWidget(settings.findChild<QWidget*>("tabPlanet"));
        pages << pageAfterF1(settings.findChild<QLineEdit*>("txtSun"));
        settings.reject();
    });
    w.RunCommand(TTodayMirvo::cmdOption);
    QCOMPARE(pages, QStringList({"/settings.htm", "/method.htm"}));
}

void TestFormMain::printPreviewOpensReadable()
{
    QVERIFY(testing_gui::LoadDataFile());
    QTemporaryDir dir;
    const auto paths = PathsIn(dir);
    QVERIFY(QFile::copy(MIRVO_RUNTIME_DIR "/TodayMirvo.chm", QString::fromStdString(paths.HelpFile().string())));
    WriteFile(paths.MemberFile(), ThreeMembersCsv());
    TTodayMirvo w(paths);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QRect shown;
    QRect area;
    int zoomMode = -1;
    bool printButtonShown = false;
    bool overflowShown = true;
    QString pageAfterF1;
    testing_gui::WhenActiveModal<QPrintPreviewDialog>(&w, [&](QPrintPreviewDialog& preview) {
        shown = preview.frameGeometry();
        area = preview.screen()->availableGeometry();
        zoomMode = preview.findChild<QPrintPreviewWidget*>()->zoomMode();
        // The print command is a button of the tool bar, not behind its 「>>」.
        auto* bar = preview.findChild<QToolBar*>();
        const QString print = QCoreApplication::translate("QPrintPreviewDialog", "Print");
        for (QAction* action : bar->actions()) {
            const QWidget* button = bar->widgetForAction(action);
            if (action->text() == print && button)
                printButtonShown = button->isVisible() && bar->rect().contains(button->geometry());
        }
        const auto* overflow = bar->findChild<QWidget*>("qt_toolbar_ext_button");
        overflowShown = overflow && overflow->isVisible();
        // F1 there: the page on printing.
        QTest::keyClick(preview.findChild<QPrintPreviewWidget*>(), Qt::Key_F1);
        if (mirvo::THelpWindow* help = mirvo::OpenHelpWindow())
            pageAfterF1 = help->CurrentTopic();
        preview.reject();
    });
    w.RunCommand(TTodayMirvo::cmdPrint);
    QVERIFY(area.isValid());
    QVERIFY2(shown.height() >= area.height() * 6 / 10, qPrintable(QString("%1 of %2").arg(shown.height()).arg(area.height())));
    QVERIFY(area.contains(shown));
    QCOMPARE(zoomMode, static_cast<int>(QPrintPreviewWidget::FitInView));
    QVERIFY(printButtonShown);
    QVERIFY(!overflowShown);
    QCOMPARE(pageAfterF1, QString("/print.htm"));
}

void TestFormMain::windowsOpenWhollyOnTheScreenBesideTheMainWindow()
{
    QVERIFY(testing_gui::LoadDataFile());
    QTemporaryDir dir;
    const auto paths = PathsIn(dir);
    WriteFile(paths.MemberFile(), ThreeMembersCsv());
    // The main window at the screen's top left corner.
    WriteFile(paths.SettingsFile(), "[Window]\r\nLeft=0\r\nTop=0\r\n");
    TTodayMirvo w(paths);
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    const QRect area = w.screen()->availableGeometry();
    QTest::keyClick(&w, Qt::Key_M, Qt::ControlModifier);
    QVERIFY(MirvoMonth);
    QVERIFY(QTest::qWaitForWindowExposed(MirvoMonth));
    // From the menu by its key: 相性.
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.findChild<QAction*>("actContextMenu")->trigger();
    QMenu* menu = w.Menu();
    QVERIFY(menu->isVisible());
    QTest::keyClick(menu, Qt::Key_C);
    QVERIFY(MirvoPair);
    QVERIFY(QTest::qWaitForWindowExposed(MirvoPair));
    for (QWidget* window : {static_cast<QWidget*>(MirvoMonth), static_cast<QWidget*>(MirvoPair)}) {
        const QRect frame = window->frameGeometry();
        QVERIFY2(area.contains(frame), qPrintable(window->objectName()));
        // The title bar on the screen, the main window not covered.
        QVERIFY(frame.top() < window->geometry().top() || frame == window->geometry());
        // Beside it when the screen has room for both side by side.
        if (frame.width() + w.frameGeometry().width() <= area.width())
            QVERIFY2(!frame.intersects(w.frameGeometry()), qPrintable(window->objectName()));
    }
}

void TestFormMain::menuKeysAreEachTheirOwn()
{
    QTemporaryDir dir;
    TTodayMirvo w(PathsIn(dir));
    QList<QMenu*> menus = {w.Menu()};
    for (int m = 0; m < menus.size(); ++m) {
        QStringList keys;
        for (QAction* action : menus[m]->actions()) {
            if (action->menu())
                menus << action->menu();
            const QKeySequence key = QKeySequence::mnemonic(action->text());
            if (action->isVisible() && !key.isEmpty()) {
                QVERIFY2(!keys.contains(key.toString()), qPrintable(action->text()));
                keys << key.toString();
            }
        }
    }
    // 印刷 keeps its P.
    QCOMPARE(QKeySequence::mnemonic(w.findChild<QAction*>("mniPrint")->text()), QKeySequence(Qt::ALT | Qt::Key_P));
}

void TestFormMain::positionIsKeptAfterAStartWarning()
{
    QTemporaryDir dir;
    const auto paths = PathsIn(dir);
    WriteFile(paths.SettingsFile(), "[Window]\r\nLeft=200\r\nTop=300\r\n");
    for (int run = 0; run < 2; ++run) {
        // A member line that cannot be read: the start tells it in a box.
        WriteFile(paths.MemberFile(), ThreeMembersCsv() + "\"Bad\",1,1985/13/45,12:00:00,0,\"\"\r\n");
        testing_gui::TMessageBoxWatch boxes;
        {
            TTodayMirvo w(paths);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QCOMPARE(w.pos(), QPoint(200, 300));
        }
        QVERIFY(!boxes.texts.isEmpty());  // the start said what it could not read
        const std::string ini = ReadFile(paths.SettingsFile());
        QVERIFY2(ini.find("Left=200") != std::string::npos && ini.find("Top=300") != std::string::npos, ini.c_str());
    }
}

void TestFormMain::titleCarriesTheMembersName()
{
    QTemporaryDir dir;
    const auto paths = PathsIn(dir);
    WriteFile(paths.MemberFile(), ThreeMembersCsv());
    WriteFile(paths.SettingsFile(), "[Option]\r\nDefaultUserIndex=1\r\n");
    TTodayMirvo w(paths);
    QCOMPARE(w.windowTitle(), QString("今日のミルボ [山田太郎]"));
    mirvo::TMemberListItem anonymous;
    QCOMPARE(w.MakeTitle(anonymous), QString("今日のミルボ"));
}

void TestFormMain::dayCommandsByShortcut()
{
    QTemporaryDir dir;
    const auto paths = PathsIn(dir);
    WriteFile(paths.MemberFile(), ThreeMembersCsv());
    TTodayMirvo w(paths);
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    const koyomi::TDateTime start = w.Date();
    const auto label = [&](koyomi::TDateTime d) { return QString::fromStdString(koyomi::FormatDateTime("yyyy/mm/dd ", d)); };
    QCOMPARE(LabelText(w, "labDate"), label(start));

    QTest::keyClick(&w, Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(w.Date(), start - 1.0);
    QCOMPARE(LabelText(w, "labDate"), label(start - 1.0));
    const auto percentOneDayBack = LabelText(w, "labBioHealth");
    QTest::keyClick(&w, Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(w.Date(), start - 2.0);
    QCOMPARE(LabelText(w, "labDate"), label(start - 2.0));
    // The whole window follows: the shown percent is that of the new day.
    const double days = mirvo::DaysSinceBirth(w.Member().Birthday, w.Date());
    const auto expected = mirvo::CalcBiorhythm({23, 28, 33}, days).percent[0];
    QCOMPARE(LabelText(w, "labBioHealth"), QString::number(expected) + "%");
    QCOMPARE(w.LastEvaluation().reading.BioPercent[0], expected);

    QTest::keyClick(&w, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(w.Date(), start - 1.0);
    QCOMPARE(LabelText(w, "labBioHealth"), percentOneDayBack);

    QTest::keyClick(&w, Qt::Key_T, Qt::ControlModifier);
    QCOMPARE(LabelText(w, "labDate"), label(koyomi::Now()));
    QVERIFY(w.Date() >= start);

    // Ctrl+G: any day, typed in the date picker in one go, shown on Enter;
    // Home comes back to today.
    QString asked;
    testing_gui::WhenActiveModal<QDialog>(&w, [&](QDialog& box) {
        asked = box.objectName();
        QWidget* picker = box.findChild<QWidget*>("edtGoToDay");
        QTest::keyClicks(picker, "19751123");
        QTest::keyClick(picker, Qt::Key_Return);
    });
    QTest::keyClick(&w, Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(asked, QString("dlgGoToDay"));
    QCOMPARE(LabelText(w, "labDate"), QString("1975/11/23 "));
    QCOMPARE(koyomi::DateOf(w.Date()), koyomi::EncodeDate(1975, 11, 23));
    // (The offscreen platform gives the window no focus back after the box:
    // the Home key's action itself.)
    QAction* home = w.findChild<QAction*>("actHomeToday");
    QVERIFY(home && home->shortcut() == QKeySequence(Qt::Key_Home));
    home->trigger();
    QCOMPARE(LabelText(w, "labDate"), label(koyomi::Now()));
}

void TestFormMain::windowPositionIsKeptBetweenRuns()
{
    QTemporaryDir dir;
    const auto paths = PathsIn(dir);
    {
        TTodayMirvo w(paths);
        QCOMPARE(w.pos(), QPoint(0, 0));
        w.move(123, 45);
    }
    TTodayMirvo again(paths);
    QCOMPARE(again.pos(), QPoint(123, 45));
}

void TestFormMain::unknownCommandDoesNothing()
{
    QTemporaryDir dir;
    TTodayMirvo w(PathsIn(dir));
    const auto date = w.Date();
    w.RunCommand(555);
    QCOMPARE(w.Date(), date);
    // Every menu item carries its command tag.
    QStringList tags;
    for (QAction* a : w.Menu()->findChildren<QAction*>())
        if (a->data().isValid())
            tags << a->objectName() + "=" + a->data().toString();
    tags.sort();
    QCOMPARE(tags, QStringList({"mniAbout=301", "mniAutostart=210", "mniClose=999", "mniContents=300", "mniGoToDay=103",
                                "mniInfo=201", "mniMonth=202", "mniNextDay=102", "mniOption=200", "mniPair=205",
                                "mniPreDay=101", "mniPrint=204", "mniSavePicture=203", "mniToday=100"}));
}

void TestFormMain::failedMemberSaveStillSavesTheSettings()
{
    QTemporaryDir dir;
    const auto paths = PathsIn(dir);
    WriteFile(paths.MemberFile(), ThreeMembersCsv());
    QStringList errors;
    QStringList boxes;
    {
        TTodayMirvo w(paths);
        w.SetErrorReporter([&](const QString& m) { errors << m; });
        w.move(7, 8);
        // The member file's place is taken by a folder: saving it must fail.
        std::filesystem::remove(paths.MemberFile());
        std::filesystem::create_directory(paths.MemberFile());
        testing_gui::TMessageBoxWatch watch("btnSaveInstead");
        w.close();
        boxes = watch.texts;
    }
    // The failure with the offer (the place to save instead taken), then where the list went.
    QVERIFY(errors.isEmpty());
    QCOMPARE(boxes.size(), 2);
    QVERIFY2(boxes[0].contains("Mirvo.csv") && boxes[0].contains("名前を付けて保存しますか?"), qPrintable(boxes[0]));
    QVERIFY2(boxes[1].contains("Mirvo (2).csv"), qPrintable(boxes[1]));
    QCOMPARE(ReadFile(std::filesystem::path(dir.path().toStdString()) / "Mirvo (2).csv"), ThreeMembersCsv());
    const std::string ini = ReadFile(paths.SettingsFile());
    QVERIFY(ini.find("Left=7") != std::string::npos);
}

// The window against a stored reading (tests/data/today): the third day of
// member 2 with the default settings, as mirvo-today --json wrote it.
void TestFormMain::windowShowsWhatTheCoreComputed()
{
    QTemporaryDir dir;
    const auto paths = PathsIn(dir);
    const QString data = MIRVO_TEST_DATA_DIR "/today/";
    QVERIFY(QFile::copy(data + "members.csv", QString::fromStdString(paths.MemberFile().string())));
    QVERIFY(QFile::copy(data + "defaults.ini", QString::fromStdString(paths.SettingsFile().string())));
    QFile stored(data + "2-1985-07-23.json");
    QVERIFY(stored.open(QIODevice::ReadOnly));
    const QJsonObject reading = QJsonDocument::fromJson(stored.readAll()).object();
    const QJsonObject day = reading["days"].toArray()[2].toObject();
    QCOMPARE(day["date"].toString(), QString("1985-07-25"));

    TTodayMirvo w(paths);
    mirvo::TMemberListItem member;
    member.Assign(w.MemberList().Items(2));
    QCOMPARE(QString::fromStdString(member.Name), reading["member"].toObject()["name"].toString());
    w.ShowEvaluation(member, koyomi::EncodeDate(1985, 7, 25));

    const char* bio[] = {"labBioHealth", "labBioFeel", "labBioIntell"};
    const char* star[] = {"labStarHealth", "labStarFeel", "labStarIntell"};
    const char* face[] = {"labFaceHealth", "labFaceFeel", "labFaceIntell"};
    const char* rate[] = {"labMesHealth", "labMesFeel", "labMesIntell"};
    for (int k = 0; k < mirvo::kAxisCount; ++k) {
        const QJsonObject axis = day["axes"].toArray()[k].toObject();
        QCOMPARE(LabelText(w, bio[k]), QString::number(axis["bioPercent"].toInt()) + "%");
        QCOMPARE(LabelText(w, star[k]), QString::number(axis["starTotal"].toInt()) + "点");
        QCOMPARE(LabelText(w, face[k]), axis["face"].toString());
        QCOMPARE(static_cast<qint64>(w.findChild<mirvo::TMirvoLabel*>(face[k])->GetFontColor()), axis["faceColour"].toInteger());
        QCOMPARE(LabelText(w, rate[k]), axis["rating"].toString());
    }
    auto* message = w.findChild<mirvo::TMultiLineLabel*>("labMessage");
    QCOMPARE(message->GetLines().join(""), day["advice"].toObject()["text"].toString());
    QCOMPARE(w.windowTitle(), "今日のミルボ [" + reading["member"].toObject()["name"].toString() + "]");
    // The chart is the core's chart for that day since birth.
    auto* chart = w.findChild<TBioChart*>("imgBio");
    const auto expected = mirvo::MakeBioChart(217, 113, w.Options().BioCycle, day["daysSinceBirth"].toInt());
    for (int k = 0; k < mirvo::kAxisCount; ++k)
        QVERIFY(chart->Chart().curves[k] == expected.curves[k]);
}

void TestFormMain::quitEndsTheProgramWithEveryWindow()
{
    QVERIFY(testing_gui::LoadDataFile());
    QTemporaryDir dir;
    const auto paths = PathsIn(dir);
    QVERIFY(QFile::copy(MIRVO_RUNTIME_DIR "/TodayMirvo.chm", QString::fromStdString(paths.HelpFile().string())));
    WriteFile(paths.MemberFile(), ThreeMembersCsv());
    TTodayMirvo w(paths);
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    // Ctrl+M, F1, then 終了(X) from the menu.
    QTest::keyClick(&w, Qt::Key_M, Qt::ControlModifier);
    QVERIFY(MirvoMonth);
    QTest::keyClick(MirvoMonth, Qt::Key_F1);
    QVERIFY(mirvo::OpenHelpWindow() && mirvo::OpenHelpWindow()->isVisible());
    QTimer::singleShot(0, &w, [&w] {
        w.activateWindow();
        w.findChild<QAction*>("actContextMenu")->trigger();
        QTest::keyClick(w.Menu(), Qt::Key_X);
    });
    // Should the program go on running, the test ends it with another code.
    QTimer::singleShot(30000, &w, [] { QCoreApplication::exit(2); });
    QCOMPARE(QApplication::exec(), 0);
    for (QWidget* window : QApplication::topLevelWidgets())
        QVERIFY2(!window->isVisible(), qPrintable(window->objectName()));
}

QTEST_MAIN(TestFormMain)
#include "tst_formmain.moc"
