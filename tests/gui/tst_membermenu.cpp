// The main window's member submenu and its login-notification item.
#include "app/formmain.h"
#include "app/startup.h"
#include "modalwatch.h"
#include "notify/autostart.h"
#include "start/programstart.h"
#include "start/todayreport.h"
#include "testfiles.h"

#include <QActionGroup>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sstream>

using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

// Three members, the second with a Japanese name and an "&" (the file is Shift-JIS).
std::string ThreeMembersCsv()
{
    return testsupport::ThreeMembersCsv("山田&太郎");
}

QStringList ItemCaptions(const QMenu* menu)
{
    QStringList captions;
    for (const QAction* a : menu->actions())
        captions << a->text() + "|" + a->shortcut().toString() + (a->isChecked() ? "|*" : "");
    return captions;
}

// The value of a key of a desktop entry, as a string value (escapes undone).
QString EntryValue(const std::string& text, const std::string& key)
{
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(key + "=", 0) != 0)
            continue;
        std::string value;
        const std::string raw = line.substr(key.size() + 1);
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == '\\' && i + 1 < raw.size()) {
                const char c = raw[++i];
                value += c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
            } else {
                value += raw[i];
            }
        }
        return QString::fromStdString(value);
    }
    return {};
}

} // namespace

class TestMemberMenu : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void listsTheMembersWithShortcutsAndTheShownOneChecked();
    void choosingTheThirdMemberShowsItAndSavesItAsDefault();
    void emptyListDisablesTheSubmenu();
    void settingsWindowsListRenewsTheSubmenu();
    void loginNotificationWritesAndRemovesTheAutostartEntry();
    void openedOnAMemberShowsItAndMakesItTheDefault();

private:
    mirvo::ProgramPaths PathsIn(const QTemporaryDir& dir) const
    {
        return testsupport::ProgramPathsIn(dir.path().toStdString());
    }
};

void TestMemberMenu::initTestCase()
{
    QVERIFY2(testing_gui::LoadDataFile(), "Kosmera.dat is built beside the program");
}

void TestMemberMenu::listsTheMembersWithShortcutsAndTheShownOneChecked()
{
    QTemporaryDir dir;
    const auto paths = PathsIn(dir);
    WriteFile(paths.MemberFile(), ThreeMembersCsv());
    WriteFile(paths.SettingsFile(), "[Option]\r\nDefaultUserIndex=1\r\n");
    TTodayMirvo w(paths);
    QMenu* menu = w.findChild<QMenu*>("mniMember");
    QVERIFY(menu);
    QCOMPARE(menu->title(), QString("メンバー"));
    QVERIFY(menu->isEnabled());
    QCOMPARE(ItemCaptions(menu), QStringList({"Hana|Ctrl+1", "山田&&太郎|Ctrl+2|*", "Ken|Ctrl+3"}));
    // Radio items: one group, one checked at a time.
    QVERIFY(menu->actions()[0]->actionGroup());
    QVERIFY(menu->actions()[0]->actionGroup()->isExclusive());
    // The submenu sits in the context menu.
    QVERIFY(w.Menu()->actions().contains(menu->menuAction()));
}

void TestMemberMenu::choosingTheThirdMemberShowsItAndSavesItAsDefault()
{
    QTemporaryDir dir;
    const auto paths = PathsIn(dir);
    WriteFile(paths.MemberFile(), ThreeMembersCsv());
    {
        TTodayMirvo w(paths);
        QCOMPARE(QString::fromStdString(w.Member().Name), QString("Hana"));
        w.findChild<QAction*>("mniMember2")->trigger();
        QCOMPARE(QString::fromStdString(w.Member().Name), QString("Ken"));
        QCOMPARE(w.windowTitle(), QString("今日のミルボ [Ken]"));
        QCOMPARE(w.Options().DefaultUserIndex, 2);
        QVERIFY(w.findChild<QAction*>("mniMember2")->isChecked());
        QVERIFY(!w.findChild<QAction*>("mniMember0")->isChecked());
        // The window shows the core's reading of the third member for the shown day.
        const mirvo::Evaluation expected =
            mirvo::Evaluate(w.Member().Birthday, w.Date(), mirvo::EvalSettingsOf(w.Options()));
        QVERIFY(w.LastEvaluation().reading.BioPercent == expected.reading.BioPercent);
        QVERIFY(w.LastEvaluation().reading.StarTotal == expected.reading.StarTotal);
        QCOMPARE(w.LastEvaluation().verdict.adviceId, expected.verdict.adviceId);
    }
    const QString ini = QString::fromStdString(ReadFile(paths.SettingsFile()));
    QVERIFY2(ini.contains(QRegularExpression("^DefaultUserIndex=2\r?$", QRegularExpression::MultilineOption)),
             qPrintable(ini));
    // The next start shows the third member.
    TTodayMirvo again(paths);
    QCOMPARE(QString::fromStdString(again.Member().Name), QString("Ken"));

    // Ctrl+1 goes back to the first, with the window's shortcut.
    again.show();
    QApplication::setActiveWindow(&again);
    QVERIFY(QTest::qWaitForWindowActive(&again));
    QTest::keyClick(&again, Qt::Key_1, Qt::ControlModifier);
    QCOMPARE(QString::fromStdString(again.Member().Name), QString("Hana"));
    QCOMPARE(again.Options().DefaultUserIndex, 0);
    QVERIFY(again.findChild<QAction*>("mniMember0")->isChecked());
    QVERIFY(!again.findChild<QAction*>("mniMember2")->isChecked());
}

void TestMemberMenu::emptyListDisablesTheSubmenu()
{
    QTemporaryDir dir;
    TTodayMirvo w(PathsIn(dir));
    QMenu* menu = w.findChild<QMenu*>("mniMember");
    QVERIFY(!menu->isEnabled());
    QVERIFY(menu->actions().isEmpty());
    // A member command without a member does nothing.
    w.RunCommand(TTodayMirvo::cmdMemberFirst);
    QVERIFY(w.Member().Name.empty());
    QCOMPARE(w.Options().DefaultUserIndex, -1);
}

void TestMemberMenu::settingsWindowsListRenewsTheSubmenu()
{
    QTemporaryDir dir;
    const auto paths = PathsIn(dir);
    WriteFile(paths.MemberFile(), ThreeMembersCsv());
    TTodayMirvo w(paths);
    mirvo::TMemberList two;
    two.Assign(w.MemberList());
    two.Delete(0);
    mirvo::TMemberListItem current;
    current.Assign(two.Items(1));
    w.TakeSettings(w.Options(), two, current);
    QMenu* menu = w.findChild<QMenu*>("mniMember");
    QCOMPARE(ItemCaptions(menu), QStringList({"山田&&太郎|Ctrl+1", "Ken|Ctrl+2|*"}));
    // The shortcut of the third item went with it.
    w.RunCommand(TTodayMirvo::cmdMemberFirst + 2);
    QCOMPARE(QString::fromStdString(w.Member().Name), QString("Ken"));

    mirvo::TMemberList none;
    w.TakeSettings(w.Options(), none, mirvo::TMemberListItem{});
    QVERIFY(!menu->isEnabled());
}

void TestMemberMenu::loginNotificationWritesAndRemovesTheAutostartEntry()
{
#ifdef Q_OS_WIN
    // Windows has no autostart entries: the item is not in the menu there.
    QTemporaryDir windowsDir;
    TTodayMirvo windowsMain(PathsIn(windowsDir));
    QAction* hidden = windowsMain.findChild<QAction*>("mniAutostart");
    QVERIFY(hidden);
    QVERIFY(!hidden->isVisible());
    return;
#endif
    QTemporaryDir dir;
    QTemporaryDir config;
    // The programs lie in a folder with a blank in its name; mirvo-today is a copy of the real one.
    const std::filesystem::path programs = std::filesystem::path(dir.path().toStdString()) / "今日 のミルボ";
    std::filesystem::create_directories(programs);
    for (const char* file : {"mirvo-today", "Kosmera.dat"})
        std::filesystem::copy_file(std::filesystem::path(MIRVO_RUNTIME_DIR) / file, programs / file);
    mirvo::ProgramPaths paths;
    paths.programFile = programs / "TodayMirvo";
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    const std::filesystem::path entry =
        std::filesystem::path(config.path().toStdString()) / "autostart/io.github.todaymirvo.TodayMirvo-notify.desktop";

    TTodayMirvo w(paths);
    QStringList errors;
    w.SetErrorReporter([&](const QString& m) { errors << m; });
    QAction* item = w.findChild<QAction*>("mniAutostart");
    QVERIFY(item);
    QCOMPARE(item->text(), QString("ログイン時に今日のミルボを通知する"));
    QVERIFY(item->isCheckable());
    QVERIFY(!item->isChecked());

    item->trigger();
    QVERIFY(errors.isEmpty());
    QVERIFY(std::filesystem::exists(entry));
    QVERIFY(item->isChecked());

    QProcess validate;
    validate.start("desktop-file-validate", {QString::fromStdString(entry.string())});
    QVERIFY(validate.waitForFinished(60000));
    QCOMPARE(validate.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(validate.readAll()), QString());

    // The Exec line runs mirvo-today --notify (its quoting is the shell's double
    // quoting); without a session bus it says so, with its own exit code.
    const std::string text = ReadFile(entry);
    const QString exec = EntryValue(text, "Exec");
    QCOMPARE(exec, "\"" + QString::fromStdString((programs / "mirvo-today").string()) + "\" --notify");
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + dir.path() + "/no-bus");
    run.setProcessEnvironment(env);
    run.start("sh", {"-c", exec});
    QVERIFY(run.waitForFinished(60000));
    QCOMPARE(run.exitCode(), 8);
    QVERIFY2(QString::fromUtf8(run.readAllStandardError()).contains("セッションバスに接続できません"),
             "mirvo-today --notify ran and found no bus");

    item->trigger();
    QVERIFY(!std::filesystem::exists(entry));
    QVERIFY(!item->isChecked());

    // On again, then deleted by hand: the menu shows it off when it opens.
    w.RunCommand(TTodayMirvo::cmdAutostart);
    QVERIFY(item->isChecked());
    std::filesystem::remove(entry);
    emit w.Menu()->aboutToShow();
    QVERIFY(!item->isChecked());
    // And turning it on from there writes it again.
    w.RunCommand(TTodayMirvo::cmdAutostart);
    QVERIFY(std::filesystem::exists(entry));
    QVERIFY(errors.isEmpty());
    qunsetenv("XDG_CONFIG_HOME");
}

void TestMemberMenu::openedOnAMemberShowsItAndMakesItTheDefault()
{
    using Args = std::vector<std::string>;
    QCOMPARE(mirvo::StartMemberArgument(Args{"--member", "2"}), std::optional<std::string>("2"));
    QCOMPARE(mirvo::StartMemberArgument(Args{"--member=Ken", "-x"}), std::optional<std::string>("Ken"));
    QCOMPARE(mirvo::StartMemberArgument(Args{"--member"}), std::optional<std::string>());
    QCOMPARE(mirvo::StartMemberArgument(Args{}), std::optional<std::string>());

    QTemporaryDir dir;
    const auto paths = PathsIn(dir);
    WriteFile(paths.MemberFile(), ThreeMembersCsv());
    WriteFile(paths.SettingsFile(), "[Option]\r\nDefaultUserIndex=2\r\n");
    {
        TTodayMirvo w(paths, nullptr, std::string("1"));
        QCOMPARE(QString::fromStdString(w.Member().Name), QString("山田&太郎"));
        QCOMPARE(w.Options().DefaultUserIndex, 1);
        QVERIFY(w.findChild<QAction*>("mniMember1")->isChecked());
    }
    {
        // A key that names nobody any more: the default member (saved as 1 above).
        TTodayMirvo w(paths, nullptr, std::string("Nobody"));
        QCOMPARE(QString::fromStdString(w.Member().Name), QString("山田&太郎"));
    }
    TTodayMirvo byName(paths, nullptr, std::string("Ken"));
    QCOMPARE(byName.Options().DefaultUserIndex, 2);
}

QTEST_MAIN(TestMemberMenu)
#include "tst_membermenu.moc"
