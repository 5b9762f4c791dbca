// The window program keeps the user's files: a partly read member file is
// kept beside the list that replaces it, a termination signal while a box
// waits for the user closes the box and saves everything, OK in the
// settings window writes the files at once, and a member file that cannot
// be written is told at start and saved elsewhere at exit; the channel by
// which a second start brings the window forward answers only this user.
#include "app/formmain.h"
#include "app/instancechannel.h"
#include "app/startup.h"
#include "base/utf8.h"
#include "modalwatch.h"
#include "settings/formoption.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#ifndef Q_OS_WIN
#include <grp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

const fs::path kMembersData = fs::path(MIRVO_TEST_DATA_DIR) / "members";
constexpr qint64 kFewSeconds = 5000;

std::string ReadFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A folder like the program's: the data file beside the (imagined) program,
// in a folder named in Japanese, as under a user named 山田.
struct ProgramFolder {
    QTemporaryDir dir{QDir::tempPath() + "/山田のミルボ-XXXXXX"};
    fs::path path{koyomi::PathFromUtf8(dir.path().toStdString())};
    ProgramFolder() { fs::copy_file(MIRVO_KOSMERA_PATH, path / "Kosmera.dat"); }
    fs::path operator/(const char* name) const { return path / name; }
};

int Run(const ProgramFolder& folder)
{
    return mirvo::RunProgram(folder.path, [](const std::string& text, const std::string&) {
        QFAIL(("unexpected start-up warning: " + text).c_str());
    });
}

// Closes the main window once it is shown and no box is open.
void CloseMainWindowWhenShown(QObject* context)
{
    QTimer::singleShot(testing_gui::kPollMilliseconds, context, [context] {
        if (TodayMirvo && TodayMirvo->isVisible() && !QApplication::activeModalWidget())
            TodayMirvo->close();
        else
            CloseMainWindowWhenShown(context);
    });
}

// Answers each modal window that comes up while `context` lives, once, with `answer`.
void AnswerModals(QObject* context, std::function<void(QWidget&)> answer)
{
    QTimer::singleShot(testing_gui::kPollMilliseconds, context, [context, answer] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && !modal->property("answered").toBool()) {
            modal->setProperty("answered", true);
            answer(*modal);
        }
        AnswerModals(context, answer);
    });
}

QPushButton* ButtonNamed(QMessageBox& box, const QString& text)
{
    for (QAbstractButton* b : box.buttons())
        if (b->text() == text)
            return qobject_cast<QPushButton*>(b);
    return nullptr;
}

const char* const kKillAfterOK = "MIRVO_TEST_KILL_AFTER_OK";
#ifndef Q_OS_WIN
constexpr uid_t kOtherUser = 65534;   // nobody
constexpr int kAnswerWaitMilliseconds = 5000;

// Runs `body` in a child process (as the other user when `other`) while this
// one keeps its event loop going; true when the child returned true.
bool InChild(bool other, const std::function<bool()>& body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (other && (::setgroups(0, nullptr) != 0 || ::setgid(kOtherUser) != 0 || ::setuid(kOtherUser) != 0))
            ::_exit(2);
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0)
        QTest::qWait(testing_gui::kPollMilliseconds);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Connects to the socket at `path`, sends `request` and reads what comes
// back until the other end closes or kAnswerWaitMilliseconds pass.
std::string Exchange(const std::string& path, const std::string& request)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return "no connection";
    ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    std::string answer;
    pollfd entry{fd, POLLIN, 0};
    char buffer[64];
    while (::poll(&entry, 1, kAnswerWaitMilliseconds) > 0) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        answer.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return answer;
}
#endif

} // namespace

class TestFileSafety : public QObject {
    Q_OBJECT
private slots:
    void partlyReadMemberFileIsKeptBesideTheSavedList();
    void signalDuringTheStartBoxEndsTheRunAndSaves();
    void signalDuringTheExitErrorBoxGoesOnSaving();
    void unwritableMemberFileIsToldAtStartAndSavedElsewhereAtExit();
    void newMemberSurvivesAKillRightAfterOK();
    void channelAnswersOnlyThisUserAndOnlyShortRequests();
};

void TestFileSafety::partlyReadMemberFileIsKeptBesideTheSavedList()
{
    ProgramFolder folder;
    fs::copy_file(kMembersData / "five-baddate-line3.csv", folder / "Mirvo.csv");
    const std::string original = ReadFile(folder / "Mirvo.csv");
    QObject context;
    QStringList texts;
    {
        testing_gui::TMessageBoxWatch boxes;
        CloseMainWindowWhenShown(&context);
        QCOMPARE(Run(folder), 0);
        texts = boxes.texts;
    }

    // The box at start names line 3 alone and where the file will be kept; the lines after it are read.
    QCOMPARE(texts.size(), 1);
    const QString file = QDir::toNativeSeparators(QString::fromStdString((folder / "Mirvo.csv").string()));
    QVERIFY2(texts[0].contains(file + " の 3 行目は読んでいません: '1990/13/01' は日付ではありません"),
             qPrintable(texts[0]));
    QVERIFY(!texts[0].contains(" 4 行目"));
    QVERIFY2(texts[0].contains(QDir::toNativeSeparators(QString::fromStdString((folder / "backup").string()))),
             qPrintable(texts[0]));
    // All five members' lines are still on disk: the original among the copies, four in the list.
    std::vector<fs::path> copies;
    for (const auto& entry : fs::directory_iterator(folder / "backup"))
        copies.push_back(entry.path());
    QCOMPARE(copies.size(), std::size_t(1));
    QCOMPARE(ReadFile(copies[0]), original);
    QVERIFY(!fs::exists(folder / "Mirvo.csv.bak"));
    const std::string saved = ReadFile(folder / "Mirvo.csv");
    QVERIFY(saved.starts_with("\"Aiko\",2,1980/04/01"));
    for (const char* name : {"Aiko", "Ben", "Daisuke", "Emi"})
        QVERIFY2(saved.find(name) != std::string::npos, name);
    QVERIFY(fs::exists(folder / "TodayMirvo.ini"));

    // The next run reads the saved list completely: no box, no further copy.
    testing_gui::TMessageBoxWatch again;
    CloseMainWindowWhenShown(&context);
    QCOMPARE(Run(folder), 0);
    QVERIFY(again.texts.isEmpty());
    QCOMPARE(std::distance(fs::directory_iterator(folder / "backup"), fs::directory_iterator()), 1);
}

void TestFileSafety::signalDuringTheStartBoxEndsTheRunAndSaves()
{
#ifdef Q_OS_WIN
    QSKIP("Windows has no such signals: its console's Ctrl+C and the end of the session take their own road");
#else
    ProgramFolder folder;
    fs::copy_file(kMembersData / "five-baddate-line3.csv", folder / "Mirvo.csv");
    QObject context;
    bool boxWasOpen = false;
    testing_gui::WhenActiveModal<QMessageBox>(&context, [&](QMessageBox&) {
        boxWasOpen = true;
        std::raise(SIGTERM);
    });
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(Run(folder), 0);
    QVERIFY(boxWasOpen);
    QVERIFY2(clock.elapsed() < kFewSeconds, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(fs::exists(folder / "TodayMirvo.ini"));
    QVERIFY(ReadFile(folder / "TodayMirvo.ini").find("DefaultUserIndex=0") != std::string::npos);
    // The list went to the file, the original among its copies, without a box.
    QVERIFY(ReadFile(folder / "Mirvo.csv").find("Emi") != std::string::npos);
    QVERIFY(fs::is_directory(folder / "backup"));
#endif
}

void TestFileSafety::signalDuringTheExitErrorBoxGoesOnSaving()
{
#ifdef Q_OS_WIN
    QSKIP("Windows has no such signals: its console's Ctrl+C and the end of the session take their own road");
#else
    ProgramFolder folder;
    const std::string members = "\"Hana\",2,1970/01/02,12:00:00,0,\"\"\r\n";
    std::ofstream(folder / "Mirvo.csv", std::ios::binary) << members;
    // A member file without write permission: the save at exit fails with a box.
    fs::permissions(folder / "Mirvo.csv", fs::perms::owner_read);
    QObject context;
    CloseMainWindowWhenShown(&context);
    int boxes = 0;
    testing_gui::WhenActiveModal<QMessageBox>(&context, [&](QMessageBox& box) {
        QVERIFY(box.text().contains("Mirvo.csv"));
        ++boxes;
        // A second signal during the exit path changes nothing.
        std::raise(SIGTERM);
        std::raise(SIGINT);
    });
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(Run(folder), 0);
    QCOMPARE(boxes, 1);
    QVERIFY2(clock.elapsed() < kFewSeconds, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(fs::exists(folder / "TodayMirvo.ini"));
    QCOMPARE(ReadFile(folder / "Mirvo.csv"), members);
    // With no one to ask, the list went to the place the start-up box named.
    QCOMPARE(ReadFile(folder / "Mirvo (2).csv"), members);
#endif
}

void TestFileSafety::unwritableMemberFileIsToldAtStartAndSavedElsewhereAtExit()
{
    // A member file without write permission; the folder can be written. (The
    // program refuses a file without write bits for root too.)
    ProgramFolder folder;
    const std::string members = "\"Hana\",2,1970/01/02,12:00:00,0,\"\"\r\n\"Ken\",1,2001/11/30,12:00:00,0,\"\"\r\n";
    std::ofstream(folder / "Mirvo.csv", std::ios::binary) << members;
    fs::permissions(folder / "Mirvo.csv", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    // Paths as the system shows them ("\\" on Windows).
    const QString file = QDir::toNativeSeparators(QString::fromStdString((folder / "Mirvo.csv").string()));
    const QString instead = QDir::toNativeSeparators(QString::fromStdString((folder / "Mirvo (2).csv").string()));
    // 名前を付けて保存 into Japanese folders, answered as Qt's dialog answers (with "/").
    const QString chosenFolder = folder.dir.path() + "/ドキュメント/ミルボ資料";
    QVERIFY(QDir().mkpath(chosenFolder));
    const QString chosen = chosenFolder + "/メンバー";

    // First run: 名前を付けて保存 at exit, into a file of the user's choice.
    QStringList texts;
    bool chooserAsked = false;
    {
        QObject context;
        CloseMainWindowWhenShown(&context);
        AnswerModals(&context, [&](QWidget& modal) {
            auto* box = qobject_cast<QMessageBox*>(&modal);
            if (!box)
                return;
            texts << box->text();
            if (box->objectName() == "boxSaveFailed") {
                TodayMirvo->SetMemberFileChooser([&](QWidget*, const QString&, const QString&, const QString&) {
                    chooserAsked = true;
                    return chosen;
                });
                ButtonNamed(*box, "名前を付けて保存(&A)...")->click();
            } else {
                box->done(QMessageBox::Ok);
            }
        });
        QCOMPARE(Run(folder), 0);
    }
    QCOMPARE(texts.size(), 3);
    // At start: the file, and where the list goes instead.
    QVERIFY2(texts[0].contains("メンバーリストのファイル " + file + " には書き込めません") && texts[0].contains(instead),
             qPrintable(texts[0]));
    // At exit: the failure, with the offer.
    QVERIFY2(texts[1].contains(file) && texts[1].contains("名前を付けて保存しますか?"), qPrintable(texts[1]));
    QVERIFY(chooserAsked);
    QVERIFY2(texts[2].contains(QDir::toNativeSeparators(chosen + ".csv")), qPrintable(texts[2]));
    QCOMPARE(ReadFile(koyomi::PathFromUtf8((chosen + ".csv").toStdString())), members);
    QCOMPARE(ReadFile(folder / "Mirvo.csv"), members);

    // Second run: the newer list, the one chosen, is read and named; the
    // save offers that file again, and the list goes there.
    texts.clear();
    const QString mine = QDir::toNativeSeparators(chosen + ".csv");
    const fs::path minePath = koyomi::PathFromUtf8((chosen + ".csv").toStdString());
    // Newer by more than the system's clock step (Windows' file times as the
    // run-time reads them are whole seconds; both were written within one).
    fs::last_write_time(minePath, fs::last_write_time(folder / "Mirvo.csv") + std::chrono::seconds(2));
    {
        QObject context;
        CloseMainWindowWhenShown(&context);
        AnswerModals(&context, [&](QWidget& modal) {
            if (auto* box = qobject_cast<QMessageBox*>(&modal)) {
                texts << box->text();
                if (box->objectName() == "boxSaveFailed")
                    box->findChild<QPushButton*>("btnSaveInstead")->click();
                else
                    box->done(QMessageBox::Ok);
            }
        });
        QCOMPARE(Run(folder), 0);
    }
    QCOMPARE(texts.size(), 3);
    QVERIFY2(texts[0].contains("より新しい " + mine + " から読み込みました"), qPrintable(texts[0]));
    QVERIFY2(texts[1].contains(mine), qPrintable(texts[1]));
    QVERIFY2(texts[2].contains(mine), qPrintable(texts[2]));
    QCOMPARE(ReadFile(minePath), members);
    QVERIFY(!fs::exists(folder / "Mirvo (2).csv"));

    // Third run: キャンセル saves nothing; asked whether to end without saving, yes.
    texts.clear();
    fs::remove(minePath);
    {
        QObject context;
        CloseMainWindowWhenShown(&context);
        AnswerModals(&context, [&](QWidget& modal) {
            if (auto* box = qobject_cast<QMessageBox*>(&modal)) {
                texts << box->text();
                if (box->objectName() == "boxSaveFailed")
                    box->button(QMessageBox::Cancel)->click();
                else if (box->button(QMessageBox::Yes))
                    box->button(QMessageBox::Yes)->click();
                else
                    box->done(QMessageBox::Ok);
            }
        });
        QCOMPARE(Run(folder), 0);
    }
    QCOMPARE(texts.size(), 3);
    QVERIFY2(texts[2].contains("保存しないで終了しますか"), qPrintable(texts[2]));
    QVERIFY(!fs::exists(minePath));
    QVERIFY(!fs::exists(folder / "Mirvo (2).csv"));
    QCOMPARE(ReadFile(folder / "Mirvo.csv"), members);
}

void TestFileSafety::newMemberSurvivesAKillRightAfterOK()
{
#ifdef Q_OS_WIN
    QSKIP("Windows has no such signals: its console's Ctrl+C and the end of the session take their own road");
#else
    if (const char* dir = std::getenv(kKillAfterOK)) {
        // The program as the user runs it, killed the moment OK returns.
        QVERIFY(testing_gui::LoadDataFile());
        mirvo::ProgramPaths paths;
        paths.programFile = koyomi::PathFromUtf8(dir) / "TodayMirvo";
        TTodayMirvo main(paths);
        main.show();
        QObject context;
        testing_gui::WhenActiveModal<TTodayMirvoOption>(&context, [](TTodayMirvoOption& w) {
            auto* name = w.findChild<QLineEdit*>("txtName");
            name->selectAll();
            QTest::keyClicks(name, "Killed");
            QTest::mouseClick(w.findChild<QPushButton*>("btnAdd"), Qt::LeftButton);
            QTest::mouseClick(w.findChild<QPushButton*>("btnOK"), Qt::LeftButton);
        });
        main.RunCommand(TTodayMirvo::cmdOption);
        std::raise(SIGKILL);
    }
    ProgramFolder folder;
    std::ofstream(folder / "Mirvo.csv", std::ios::binary) << "\"Hana\",2,1970/01/02,12:00:00,0,\"\"\r\n";
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(kKillAfterOK, QString::fromStdString(folder.path.string()));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {"newMemberSurvivesAKillRightAfterOK"});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    const std::string saved = ReadFile(folder / "Mirvo.csv");
    QVERIFY2(saved.find("\"Hana\",2,1970/01/02") == 0, saved.c_str());
    QVERIFY2(saved.find("\"Killed\",2,1970/01/02") != std::string::npos, saved.c_str());
    QVERIFY(ReadFile(folder / "TodayMirvo.ini").find("[Option]") != std::string::npos);
#endif
}

// The channel in a folder the other user can reach, its socket open to all:
// only the user's own peer check stands between them and the window.
void TestFileSafety::channelAnswersOnlyThisUserAndOnlyShortRequests()
{
#ifdef Q_OS_WIN
    QSKIP("On Windows the channel is a named pipe that only this user may open: no socket file for another user to reach");
#else
    QTemporaryDir dir;
    ::chmod(dir.path().toLocal8Bit().constData(), 0777);
    const std::string name = dir.path().toStdString() + "/channel";
    mirvo::TInstanceChannel channel(name);
    QVERIFY(channel.Listening());
    QWidget window;
    window.show();
    channel.SetWindow(&window);
    QCOMPARE(::chmod(name.c_str(), 0777), 0);

    // This user's second start is told; so is a raw request of this user's.
    QVERIFY(InChild(false, [&] { return mirvo::TInstanceChannel::AskToComeForward(name); }));
    QVERIFY(InChild(false, [&] { return Exchange(name, "forward\n") == "forward\n"; }));
    // A request longer than 256 bytes is cut off unanswered, even with the word at its end.
    QVERIFY(InChild(false, [&] { return Exchange(name, std::string(300, 'x') + "forward\n").empty(); }));
    QVERIFY(InChild(false, [&] { return Exchange(name, std::string(200, 'x') + "forward\n") == "forward\n"; }));
    if (::geteuid() != 0)
        QSKIP("another uid needs root");
    // Another user reaches the socket and asks: the connection is closed unanswered.
    QVERIFY(InChild(true, [&] { return Exchange(name, "forward\n").empty(); }));
    QVERIFY(InChild(true, [&] { return !mirvo::TInstanceChannel::AskToComeForward(name); }));

    // A listener that never answers: the second start gives up by itself and says it was not told.
    const std::string silent = dir.path().toStdString() + "/silent";
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", silent.c_str());
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QCOMPARE(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    QCOMPARE(::listen(listener, 4), 0);
    QVERIFY(!mirvo::TInstanceChannel::AskToComeForward(silent));
    ::close(listener);
#endif
}

QTEST_MAIN(TestFileSafety)
#include "tst_filesafety.moc"
