// The help router, the program's HTML Help (help window, pop-up, context and
// keyword look-ups) and the help file the build compiles.

#include "help/apphelp.h"
#include "help/chmfile.h"
#include "help/helpcommands.h"
#include "help/helpmodules.h"
#include "help/helppopup.h"
#include "help/helprouter.h"
#include "help/helpwindow.h"
#include "help/htmlhelpviewer.h"
#include "help/sitemap.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <memory>
#include <vector>

using namespace mirvo;

namespace {

const QString kHelpFile = QStringLiteral(MIRVO_RUNTIME_DIR "/TodayMirvo.chm");
const QString kHelpSource = QStringLiteral(MIRVO_SOURCE_DIR "/resources/help");

// A page's source as the help of this system holds it: the other system's
// parts ("<!-- linux -->...<!-- /linux -->") out, this system's markers away.
QByteArray ForThisSystem(const QByteArray& bytes)
{
#ifdef Q_OS_WIN
    const QString own = QStringLiteral("windows"), other = QStringLiteral("linux");
#else
    const QString own = QStringLiteral("linux"), other = QStringLiteral("windows");
#endif
    QString text = QString::fromUtf8(bytes);
    text.remove(QRegularExpression("<!-- " + other + " -->.*?<!-- /" + other + " -->",
                                   QRegularExpression::DotMatchesEverythingOption));
    text.remove("<!-- " + own + " -->").remove("<!-- /" + own + " -->");
    return text.toUtf8();
}

// What a stand-in viewer was asked to do.
struct TViewerCall {
    QWidget* caller = nullptr;
    QString file;
    unsigned command = 0;
    quintptr data = 0;
    QString text; // the text behind data, for the commands that pass one
};

std::vector<TViewerCall> gHtmlHelpCalls;
std::vector<TViewerCall> gWinHelpCalls;
QWidget* gHtmlHelpAnswer = nullptr;
bool gWinHelpAnswer = false;

bool PassesText(unsigned command)
{
    return command == HELP_KEY || command == HELP_COMMAND;
}

QWidget* RecordingHtmlHelp(QWidget* caller, const QString& file, unsigned command, quintptr data)
{
    gHtmlHelpCalls.push_back({caller, file, command, data, {}});
    return gHtmlHelpAnswer;
}

bool RecordingWinHelp(QWidget* owner, const QString& file, unsigned command, quintptr data)
{
    const QString text = PassesText(command) && data ? QString::fromUtf8(reinterpret_cast<const char*>(data)) : QString();
    gWinHelpCalls.push_back({owner, file, command, data, text});
    return gWinHelpAnswer;
}

void InstallRecordingHtmlHelp()
{
    InstallHelpModule(kHtmlHelpModule, {{kHtmlHelpProc, reinterpret_cast<THelpProc>(&RecordingHtmlHelp)}});
    FreeHtmlHelpLibrary();
}

void InstallRecordingWinHelp()
{
    InstallHelpModule(kWinHelpModule, {{kWinHelpProc, reinterpret_cast<THelpProc>(&RecordingWinHelp)}});
}

// A main window with its router, as the program has them: HTML Help only,
// the help file set again before every request.
struct TRoutedForm {
    TRoutedForm()
    {
        form = std::make_unique<QWidget>();
        form->setObjectName(QStringLiteral("TestForm"));
        router = new THTMLhelpRouter(form.get());
        router->SetHelpType(htHTMLhelp);
        router->SetOnHelp([this](quint16 command, quintptr data, bool&) {
            requests.push_back({nullptr, {}, command, data, {}});
            router->SetHelpfile(kHelpFile);
            return false;
        });
    }
    std::unique_ptr<QWidget> form;
    THTMLhelpRouter* router = nullptr; // owned by the form
    std::vector<TViewerCall> requests;
};

template <typename T>
T* Child(QWidget* window, const char* name)
{
    T* child = window->findChild<T*>(QString::fromLatin1(name));
    if (!child)
        qFatal("no child %s", name);
    return child;
}

QTreeWidgetItem* ItemNamed(QTreeWidget* tree, const QString& text)
{
    const QList<QTreeWidgetItem*> found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

QStringList ProjectSection(const QString& section)
{
    QFile project(kHelpSource + QStringLiteral("/TodayMirvo.hhp"));
    if (!project.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    bool inside = false;
    for (const QString& raw : QString::fromUtf8(project.readAll()).split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inside = line == QLatin1Char('[') + section + QLatin1Char(']');
        else if (inside && !line.isEmpty())
            lines.append(line);
    }
    return lines;
}

void CollectLocals(const QList<THelpSitemapEntry>& entries, QStringList& locals)
{
    for (const THelpSitemapEntry& entry : entries) {
        for (const THelpTopicRef& topic : entry.topics)
            locals.append(topic.local);
        CollectLocals(entry.children, locals);
    }
}

QMessageBox* OpenMessageBox()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("HelpMessageBox") && w->isVisible())
            return qobject_cast<QMessageBox*>(w);
    }
    return nullptr;
}

} // namespace

class TestHelpRouter final : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void helpFileHoldsThePagesAsWritten();
    void helpFileLinksLeadToPages();
    void contentsEntryOpensTableOfContents();
    void settingsHelpButtonOpensContents();
    void helpJumpMakesTopicAddress();
    void helpJumpShowsPageWithPicture();
    void htmlHelpOnlyWithoutViewerFailsQuietly();
    void autoWithoutViewerFallsBackToWinHelp();
    void secondRouterIsRefused();
    void versionAlwaysReads202();
    void keywordAndAssociativeLinks();
    void indexContextPopupAndQuit();
    void helpWindowUsableOverModalDialog();
    void helpWindowOpensCentredOverTheAskingWindow();
    void missingHelpFileIsReported();
    void sitemapNestingAndTopics();
    void helpLocationsAndTextDecoding();
};

void TestHelpRouter::init()
{
    ResetHelpModules();
    FreeHtmlHelpLibrary();
    gHtmlHelpCalls.clear();
    gWinHelpCalls.clear();
    gHtmlHelpAnswer = nullptr;
    gWinHelpAnswer = false;
}

void TestHelpRouter::cleanup()
{
    HtmlHelpViewer(nullptr, QString(), HH_CLOSE_ALL, 0);
    while (QMessageBox* box = OpenMessageBox())
        box->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(GLOBAL_HELPROUTER == nullptr);
}

void TestHelpRouter::helpFileHoldsThePagesAsWritten()
{
    const std::unique_ptr<TChmFile> chm = TChmFile::Open(kHelpFile);
    QVERIFY2(chm, qPrintable(kHelpFile));
    QCOMPARE(chm->Title(), QStringLiteral("今日のミルボ ヘルプ"));
    QCOMPARE(chm->DefaultTopic(), QStringLiteral("intro.htm"));
    QCOMPARE(chm->Language(), 0x0411u);
    QCOMPARE(chm->ContentsFile(), QStringLiteral("TodayMirvo.hhc"));
    QCOMPARE(chm->IndexFile(), QStringLiteral("TodayMirvo.hhk"));

    // Every file of the project reads back byte for byte (the Japanese text
    // included); the picture is drawn by the build and is checked to be a PNG.
    QStringList files = ProjectSection(QStringLiteral("FILES"));
    files << QStringLiteral("TodayMirvo.hhc") << QStringLiteral("TodayMirvo.hhk");
    QVERIFY(files.size() > 10);
    for (const QString& name : files) {
        const std::optional<QByteArray> stored = chm->ReadObject(name);
        QVERIFY2(stored, qPrintable(name));
        if (name.endsWith(QLatin1String(".png"))) {
            QVERIFY2(stored->startsWith("\x89PNG"), qPrintable(name));
            continue;
        }
        QFile source(kHelpSource + QLatin1Char('/') + name);
        QVERIFY(source.open(QIODevice::ReadOnly));
        QVERIFY2(*stored == ForThisSystem(source.readAll()), qPrintable(name));
    }

    // What the pages and the index say of the other system is left out.
#ifdef Q_OS_WIN
    const QStringList otherSystem = {"D-Bus", "XDG", "Orca", "AT-SPI", "autostart/", "セッションバス"};
    const QStringList thisSystem = {"NVDA", "ナレーター"};
#else
    const QStringList otherSystem = {"NVDA", "ナレーター"};
    const QStringList thisSystem = {"D-Bus", "XDG", "Orca", "AT-SPI"};
#endif
    QString everything;
    for (const QString& name : files)
        if (!name.endsWith(QLatin1String(".png")))
            everything += DecodeHelpText(*chm->ReadObject(name));
    for (const QString& word : otherSystem)
        QVERIFY2(!everything.contains(word), qPrintable(word));
    for (const QString& word : thisSystem)
        QVERIFY2(everything.contains(word), qPrintable(word));
    QVERIFY(!everything.contains(QLatin1String("<!-- linux")) && !everything.contains(QLatin1String("<!-- windows")));

    // The contents read back in Japanese.
    const QList<THelpSitemapEntry> contents = ParseSitemap(DecodeHelpText(*chm->ReadObject(chm->ContentsFile())));
    QStringList top;
    for (const THelpSitemapEntry& entry : contents)
        top << entry.name;
    QCOMPARE(top, (QStringList{QStringLiteral("はじめに"), QStringLiteral("使い始める"), QStringLiteral("画面と操作"),
                               QStringLiteral("鑑定の読み方"), QStringLiteral("ファイル"), QStringLiteral("困ったときは")}));

    // Each help context number leads to its page.
    const QStringList aliases = ProjectSection(QStringLiteral("ALIAS"));
    const QStringList map = ProjectSection(QStringLiteral("MAP"));
    QCOMPARE(map.size(), aliases.size());
    static const QRegularExpression define(QStringLiteral(R"re(#define\s+(\w+)\s+(\d+))re"));
    for (const QString& line : map) {
        const QRegularExpressionMatch m = define.match(line);
        QVERIFY2(m.hasMatch(), qPrintable(line));
        const QString alias = aliases.filter(QRegularExpression(QLatin1Char('^') + m.captured(1) + QLatin1Char('='))).value(0);
        QCOMPARE(chm->TopicForContext(m.captured(2).toUInt()), QLatin1Char('/') + alias.section(QLatin1Char('='), 1));
    }
    QVERIFY(chm->TopicForContext(4242).isEmpty());
}

void TestHelpRouter::helpFileLinksLeadToPages()
{
    const std::unique_ptr<TChmFile> chm = TChmFile::Open(kHelpFile);
    QVERIFY(chm);
    QStringList targets;
    for (const QString& file : {chm->ContentsFile(), chm->IndexFile()})
        CollectLocals(ParseSitemap(DecodeHelpText(*chm->ReadObject(file))), targets);
    QVERIFY(targets.size() > 20);
    static const QRegularExpression reference(QStringLiteral(R"re((?:href|src)\s*=\s*"([^"#:]+)[^"]*")re"));
    for (const QString& path : chm->ObjectPaths()) {
        if (!path.endsWith(QLatin1String(".htm")))
            continue;
        auto it = reference.globalMatch(DecodeHelpText(*chm->ReadObject(path)));
        QVERIFY2(it.hasNext(), qPrintable(path)); // every page links its style sheet at least
        while (it.hasNext())
            targets << it.next().captured(1);
    }
    for (const QString& target : targets)
        QVERIFY2(chm->HasObject(target), qPrintable(target));
}

void TestHelpRouter::contentsEntryOpensTableOfContents()
{
    TRoutedForm main;
    QVERIFY(main.router->HelpContent());
    QCOMPARE(main.requests.size(), size_t(1));
    QCOMPARE(main.requests[0].command, HELP_FINDER);
    QCOMPARE(main.requests[0].data, quintptr(0));

    THelpWindow* window = OpenHelpWindow();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QVERIFY(window->parentWidget() == nullptr); // owned by the program, not by a form
    QCOMPARE(window->FilePath(), kHelpFile);
    QCOMPARE(window->windowTitle(), QStringLiteral("今日のミルボ ヘルプ"));
    auto* navigation = Child<QTabWidget>(window, "pnlNavigation");
    QCOMPARE(navigation->currentWidget()->objectName(), QStringLiteral("tabContents"));
    auto* contents = Child<QTreeWidget>(window, "lstContents");
    QCOMPARE(contents->topLevelItemCount(), 6);
    QCOMPARE(contents->topLevelItem(0)->text(0), QStringLiteral("はじめに"));
    QCOMPARE(window->CurrentTopic(), QStringLiteral("/intro.htm"));
    QVERIFY(contents->currentItem());
    QCOMPARE(contents->currentItem()->text(0), QStringLiteral("はじめに"));
    auto* page = Child<QTextBrowser>(window, "brwTopic");
    QCOMPARE(page->documentTitle(), QStringLiteral("はじめに"));
    QVERIFY(page->toPlainText().contains(QStringLiteral("今日のミルボへようこそ")));

    // Choosing an entry of the contents shows its page.
    QTreeWidgetItem* star = ItemNamed(contents, QStringLiteral("星の鑑定"));
    QVERIFY(star);
    QTest::mouseClick(contents->viewport(), Qt::LeftButton, {}, contents->visualItemRect(star).center());
    QCOMPARE(window->CurrentTopic(), QStringLiteral("/star.htm"));
    QVERIFY(page->toPlainText().contains(QStringLiteral("コンジャンクション")));
    auto* back = Child<QToolButton>(window, "btnBack");
    QVERIFY(back->isEnabled());
    back->click();
    QCOMPARE(window->CurrentTopic(), QStringLiteral("/intro.htm"));
    QCOMPARE(contents->currentItem()->text(0), QStringLiteral("はじめに"));
}

void TestHelpRouter::settingsHelpButtonOpensContents()
{
    TRoutedForm main;
    QVERIFY(ApplicationHelpCommand(HELP_CONTENTS, 0));
    QCOMPARE(main.requests.size(), size_t(1));
    QCOMPARE(main.requests[0].command, HELP_CONTENTS);
    THelpWindow* window = OpenHelpWindow();
    QVERIFY(window && window->isVisible());
    QCOMPARE(Child<QTabWidget>(window, "pnlNavigation")->currentWidget()->objectName(), QStringLiteral("tabContents"));
    QCOMPARE(window->CurrentTopic(), QStringLiteral("/intro.htm"));
}

void TestHelpRouter::helpWindowOpensCentredOverTheAskingWindow()
{
    TRoutedForm main;
    QVERIFY(ApplicationHelpCommand(HELP_CONTENTS, 0));
    THelpWindow* window = OpenHelpWindow();
    QVERIFY(window);
    window->hide();
    window->resize(240, 160);
    const QRect area = window->screen()->availableGeometry();
    // Two asking windows in two places: the help window follows each, and
    // one at the screen's corner keeps it on the screen.
    for (const QPoint at : {QPoint(area.left() + 40, area.top() + 30), QPoint(area.left() + 200, area.top() + 120),
                            QPoint(area.left(), area.top())}) {
        QWidget asker;
        asker.setGeometry(QRect(at, QSize(320, 240)));
        asker.show();
        QApplication::setActiveWindow(&asker);
        QVERIFY(QTest::qWaitForWindowActive(&asker));
        QVERIFY(ApplicationHelpCommand(HELP_CONTENTS, 0));
        QVERIFY(window->isVisible());
        QRect expected(QPoint(0, 0), window->frameGeometry().size());
        expected.moveCenter(asker.frameGeometry().center());
        expected.moveTopLeft(QPoint(std::max(area.left(), expected.left()), std::max(area.top(), expected.top())));
        QCOMPARE(window->frameGeometry().topLeft(), expected.topLeft());
        window->hide();
    }
}

void TestHelpRouter::helpJumpMakesTopicAddress()
{
    InstallRecordingHtmlHelp();
    QWidget answer;
    gHtmlHelpAnswer = &answer;
    TRoutedForm main;
    main.router->SetHelpfile(QStringLiteral("/opt/mirvo/TodayMirvo.chm"));
    main.router->SetOnHelp({});

    QVERIFY(main.router->HelpJump(QString(), QStringLiteral("intro")));
    QVERIFY(main.router->HelpJump(QString(), QStringLiteral("page.HTML")));
    QVERIFY(main.router->HelpJump(QString(), QStringLiteral("notes.htmx")));
    QVERIFY(main.router->HelpJump(QStringLiteral("/srv/other.hlp"), QStringLiteral("a.b")));
    QCOMPARE(gHtmlHelpCalls.size(), size_t(4));
    QCOMPARE(gHtmlHelpCalls[0].file, QStringLiteral("/opt/mirvo/TodayMirvo.chm::/intro.htm"));
    QCOMPARE(gHtmlHelpCalls[1].file, QStringLiteral("/opt/mirvo/TodayMirvo.chm::/page.HTML"));
    QCOMPARE(gHtmlHelpCalls[2].file, QStringLiteral("/opt/mirvo/TodayMirvo.chm::/notes.htmx"));
    QCOMPARE(gHtmlHelpCalls[3].file, QStringLiteral("/srv/other.chm::/a.b.htm"));
    for (const TViewerCall& call : gHtmlHelpCalls) {
        QCOMPARE(call.command, HH_DISPLAY_TOPIC);
        QCOMPARE(call.data, quintptr(0));
        QVERIFY(call.caller == ApplicationWindow());
    }

    // A viewer answering null is a failure, and HTML Help only never turns to WinHelp.
    InstallRecordingWinHelp();
    gHtmlHelpAnswer = nullptr;
    QVERIFY(!main.router->HelpJump(QString(), QStringLiteral("intro")));
    QVERIFY(gWinHelpCalls.empty());
}

void TestHelpRouter::helpJumpShowsPageWithPicture()
{
    TRoutedForm main;
    main.router->SetHelpfile(kHelpFile);
    QVERIFY(main.router->HelpJump(QString(), QStringLiteral("mainwindow")));
    THelpWindow* window = OpenHelpWindow();
    QVERIFY(window);
    QCOMPARE(window->CurrentTopic(), QStringLiteral("/mainwindow.htm"));
    auto* page = Child<QTextBrowser>(window, "brwTopic");
    QCOMPARE(page->documentTitle(), QStringLiteral("メインウィンドウ"));
    // The picture comes out of the help file.
    const QVariant picture = page->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("images/chart.png")));
    QImage image;
    QVERIFY(image.loadFromData(picture.toByteArray()));
    QCOMPARE(image.size(), QSize(434, 226));
    // A page the file does not have says so.
    QVERIFY(main.router->HelpJump(QString(), QStringLiteral("page.HTML")));
    QVERIFY(page->toPlainText().contains(QStringLiteral("ページ page.HTML が見つかりません.")));
}

void TestHelpRouter::htmlHelpOnlyWithoutViewerFailsQuietly()
{
    RemoveHelpModule(kHtmlHelpModule);
    InstallRecordingWinHelp();
    gWinHelpAnswer = true; // a WinHelp that would succeed, were it asked
    TRoutedForm main;
    main.form->show();
    QVERIFY(!main.router->HTMLhelpInstalled());
    QVERIFY(!main.router->HelpContent());
    QVERIFY(!ApplicationHelpCommand(HELP_CONTENTS, 0));
    QVERIFY(!main.router->HelpJump(QString(), QStringLiteral("intro")));
    QVERIFY(!main.router->HelpKeyword(QStringLiteral("周期")));
    QVERIFY(!main.router->HelpKLink(QStringLiteral("周期")));
    QVERIFY(!main.router->HelpALink(QStringLiteral("周期")));
    QVERIFY(!main.router->HelpPopup(1, 1, QStringLiteral("説明")));
    QVERIFY(gWinHelpCalls.empty());
    QVERIFY(OpenHelpWindow() == nullptr);
    QVERIFY(OpenMessageBox() == nullptr);
}

void TestHelpRouter::autoWithoutViewerFallsBackToWinHelp()
{
    RemoveHelpModule(kHtmlHelpModule);
    InstallRecordingWinHelp();
    gWinHelpAnswer = true;
    TRoutedForm main;
    main.router->SetHelpType(htAuto);
    main.router->SetOnHelp({});
    main.router->SetHelpfile(QStringLiteral("/opt/mirvo/TodayMirvo.chm"));

    QVERIFY(main.router->HelpContent());
    QCOMPARE(gWinHelpCalls.size(), size_t(1));
    QCOMPARE(gWinHelpCalls[0].file, QStringLiteral("/opt/mirvo/TodayMirvo.hlp"));
    QCOMPARE(gWinHelpCalls[0].command, unsigned(HELP_FINDER));

    // stMain: a context pop-up becomes a context request, a pop-up position is dropped.
    main.router->SetShowType(stMain);
    QVERIFY(ApplicationHelpCommand(HELP_CONTEXTPOPUP, 42));
    QCOMPARE(gWinHelpCalls.back().command, unsigned(HELP_CONTEXT));
    QCOMPARE(gWinHelpCalls.back().data, quintptr(42));
    const size_t before = gWinHelpCalls.size();
    QVERIFY(ApplicationHelpCommand(HELP_SETPOPUP_POS, 7));
    QCOMPARE(gWinHelpCalls.size(), before);
    main.router->SetShowType(stDefault);
    QVERIFY(ApplicationHelpCommand(HELP_CONTEXTPOPUP, 42));
    QCOMPARE(gWinHelpCalls.back().command, unsigned(HELP_CONTEXTPOPUP));

    // Jumps and links run the WinHelp macros.
    gWinHelpCalls.clear();
    QVERIFY(main.router->HelpJump(QString(), QStringLiteral("intro")));
    QVERIFY(main.router->HelpKLink(QStringLiteral("周期")));
    QVERIFY(main.router->HelpALink(QStringLiteral("周期")));
    QCOMPARE(gWinHelpCalls.size(), size_t(6));
    QCOMPARE(gWinHelpCalls[0].command, unsigned(HELP_CONTENTS));
    QCOMPARE(gWinHelpCalls[1].text, QStringLiteral("JumpID(\"\",\"intro\")"));
    QCOMPARE(gWinHelpCalls[3].text, QStringLiteral("KL(\"周期\",1)"));
    QCOMPARE(gWinHelpCalls[5].text, QStringLiteral("AL(\"周期\",1)"));

    // The platform's own WinHelp does not exist: the same requests fail.
    ResetHelpModules();
    RemoveHelpModule(kHtmlHelpModule);
    QVERIFY(!main.router->HelpContent());
}

void TestHelpRouter::secondRouterIsRefused()
{
    int earlierHandlerCalls = 0;
    SetApplicationOnHelp([&](quint16, quintptr, bool& callHelp) {
        ++earlierHandlerCalls;
        callHelp = false;
        return true;
    });
    {
        TRoutedForm main;
        QVERIFY(GLOBAL_HELPROUTER == main.router);
        QWidget other;
        try {
            THTMLhelpRouter second(&other);
            QFAIL("a second router was made");
        } catch (const koyomi::EMirvoError& error) {
            QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("Multiple instances of THTMLhelpRouter are not allowed"));
        }
        // The first router keeps serving; it passes requests its OnHelp leaves to the earlier handler.
        QVERIFY(GLOBAL_HELPROUTER == main.router);
        QVERIFY(ApplicationHelpCommand(HELP_CONTENTS, 0));
        QCOMPARE(main.requests.size(), size_t(1));
        QCOMPARE(earlierHandlerCalls, 1);
    }
    // Gone: the earlier handler is back, and a new router may be made.
    QVERIFY(GLOBAL_HELPROUTER == nullptr);
    QVERIFY(ApplicationHelpCommand(HELP_CONTENTS, 0));
    QCOMPARE(earlierHandlerCalls, 2);
    {
        QWidget form;
        THTMLhelpRouter again(&form);
        QVERIFY(GLOBAL_HELPROUTER == &again);
    }
    SetApplicationOnHelp({});
}

void TestHelpRouter::versionAlwaysReads202()
{
    QWidget form;
    THTMLhelpRouter router(&form);
    QCOMPARE(router.GetVersion(), QStringLiteral("2.02"));
    router.SetVersion(QStringLiteral("9.99"));
    QCOMPARE(router.GetVersion(), QStringLiteral("2.02"));
    QCOMPARE(router.GetHelpType(), htAuto);
    QCOMPARE(router.GetShowType(), stDefault);
}

void TestHelpRouter::keywordAndAssociativeLinks()
{
    TRoutedForm main;
    main.router->SetHelpfile(kHelpFile);
    QVERIFY(main.router->HelpKLink(QStringLiteral("バイオリズム")));
    THelpWindow* window = OpenHelpWindow();
    QVERIFY(window);
    QCOMPARE(window->CurrentTopic(), QStringLiteral("/biorhythm.htm"));
    QVERIFY(main.router->HelpKLink(QStringLiteral("ないキーワード; 守護星")));
    QCOMPARE(window->CurrentTopic(), QStringLiteral("/detail.htm"));

    // Nothing found: the index opens at the keyword.
    QVERIFY(main.router->HelpKLink(QStringLiteral("存在しない言葉")));
    QCOMPARE(Child<QTabWidget>(window, "pnlNavigation")->currentWidget()->objectName(), QStringLiteral("tabIndex"));
    QCOMPARE(Child<QLineEdit>(window, "txtKeyword")->text(), QStringLiteral("存在しない言葉"));

    // Associative links come from the pages' ALink names; several pages: the first by name.
    QVERIFY(main.router->HelpALink(QStringLiteral("顔のマーク")));
    QCOMPARE(window->CurrentTopic(), QStringLiteral("/faces.htm"));
    QCOMPARE(window->AssociativeTopics({QStringLiteral("バイオリズム")}).size(), 2);
    QVERIFY(main.router->HelpALink(QStringLiteral("バイオリズム")));
    QCOMPARE(window->CurrentTopic(), QStringLiteral("/biorhythm.htm"));

    // A keyword typed into the index: the first keyword starting with it is chosen,
    // and showing it opens its page.
    QVERIFY(main.router->HelpKeyword(QStringLiteral("周")));
    auto* index = Child<QTreeWidget>(window, "lstIndex");
    QCOMPARE(index->currentItem()->text(0), QStringLiteral("周期"));
    Child<QPushButton>(window, "btnDisplay")->click();
    QCOMPARE(window->CurrentTopic(), QStringLiteral("/biorhythm.htm"));
}

void TestHelpRouter::indexContextPopupAndQuit()
{
    TRoutedForm main;
    main.form->resize(200, 150);
    main.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(main.form.get()));

    QVERIFY(ApplicationHelpCommand(HELP_CONTEXT, 1210));
    THelpWindow* window = OpenHelpWindow();
    QVERIFY(window);
    QCOMPARE(window->CurrentTopic(), QStringLiteral("/star.htm"));
    QVERIFY(!ApplicationHelpCommand(HELP_CONTEXT, 4242));
    QCOMPARE(window->CurrentTopic(), QStringLiteral("/star.htm"));

    main.form->activateWindow();
    QApplication::setActiveWindow(main.form.get());
    QVERIFY(main.router->HelpPopup(10, 20, QStringLiteral("ここを押すと鑑定します")));
    THelpPopup* popup = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("HelpPopup") && w->isVisible())
            popup = qobject_cast<THelpPopup*>(w);
    }
    QVERIFY(popup);
    QCOMPARE(popup->Text(), QStringLiteral("ここを押すと鑑定します"));
    QCOMPARE(popup->frameGeometry().topLeft(), main.form->mapToGlobal(QPoint(10, 20)));
    QPointer<THelpPopup> popupAlive(popup);

    // Quit closes everything; the viewer returns no window for it.
    QPointer<THelpWindow> windowAlive(window);
    QVERIFY(!ApplicationHelpCommand(HELP_QUIT, 0));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(windowAlive.isNull());
    QVERIFY(popupAlive.isNull());
}

void TestHelpRouter::helpWindowUsableOverModalDialog()
{
    TRoutedForm main;
    main.form->show();
    QDialog settings(main.form.get());
    settings.setObjectName(QStringLiteral("TodayMirvoOption"));
    bool pageChanged = false;
    bool helpOpened = false;
    QTimer::singleShot(0, &settings, [&] {
        helpOpened = ApplicationHelpCommand(HELP_CONTENTS, 0);
        THelpWindow* window = OpenHelpWindow();
        if (window && QTest::qWaitForWindowExposed(window)) {
            // A click through the window system, which drops input to windows a modal window blocks.
            auto* contents = Child<QTreeWidget>(window, "lstContents");
            QTreeWidgetItem* menu = ItemNamed(contents, QStringLiteral("メニュー"));
            const QPoint at = contents->viewport()->mapTo(window, contents->visualItemRect(menu).center());
            QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, at);
            pageChanged = window->CurrentTopic() == QLatin1String("/menu.htm");
        }
        settings.accept();
    });
    settings.exec();
    QVERIFY(helpOpened);
    QVERIFY(pageChanged);
    // The help window outlives the settings window.
    THelpWindow* window = OpenHelpWindow();
    QVERIFY(window);
    QVERIFY(window->parentWidget() == nullptr);
    QVERIFY(window->isVisible());
}

void TestHelpRouter::missingHelpFileIsReported()
{
    QWidget form;
    THTMLhelpRouter router(&form);
    router.SetHelpType(htHTMLhelp);
    router.SetHelpfile(QStringLiteral("/nonexistent/TodayMirvo.exe"));
    QVERIFY(!router.HelpContent());
    QVERIFY(OpenHelpWindow() == nullptr);
    QMessageBox* box = OpenMessageBox();
    QVERIFY(box);
    // Named as the system writes paths (backslashes on Windows).
    QCOMPARE(box->text(), QStringLiteral("ヘルプファイル %1 を開けません.")
                              .arg(QDir::toNativeSeparators(QStringLiteral("/nonexistent/TodayMirvo.chm"))));
    QCOMPARE(box->windowTitle(), QStringLiteral("ヘルプ"));
}

void TestHelpRouter::sitemapNestingAndTopics()
{
    const QString html = QStringLiteral(
        "<html><body><object type=\"text/site properties\"><param name=\"X\" value=\"1\"></object>"
        "<ul>"
        "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"本 &amp; 章\"></object>"
        "<ul>"
        "<li><OBJECT type=\"text/sitemap\"><PARAM NAME=\"name\" VALUE='一'><param name=\"Local\" value=\"a.htm\"></OBJECT>"
        "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"二\">"
        "<param name=\"Name\" value=\"二の一\"><param name=\"Local\" value=\"b.htm#x\">"
        "<param name=\"Name\" value=\"二の二\"><param name=\"Local\" value=\"c.htm\"></object>"
        "</ul>"
        "<li><object type=\"text/sitemap\"><param name=\"Local\" value=\"nameless.htm\"></object>"
        "<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"&#x4E09;\"><param name=\"Local\" value=\"d.htm\"></object></ul>"
        "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"四\"><param name=\"Local\" value=\"e.htm\"></object>"
        "<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"四の一\"><param name=\"Local\" value=\"f.htm\"></object>"
        "</body></html>");
    const QList<THelpSitemapEntry> entries = ParseSitemap(html);
    QCOMPARE(entries.size(), 3);
    QCOMPARE(entries[0].name, QStringLiteral("本 & 章"));
    QVERIFY(entries[0].topics.isEmpty());
    QCOMPARE(entries[0].children.size(), 2);
    QCOMPARE(entries[0].children[0].name, QStringLiteral("一"));
    QCOMPARE(entries[0].children[0].topics.value(0).local, QStringLiteral("a.htm"));
    const THelpSitemapEntry& two = entries[0].children[1];
    QCOMPARE(two.topics.size(), 2);
    QCOMPARE(two.topics[0].title, QStringLiteral("二の一"));
    QCOMPARE(two.topics[0].local, QStringLiteral("b.htm#x"));
    QCOMPARE(two.topics[1].title, QStringLiteral("二の二"));
    // The nameless entry is left out; what nests under it moves up.
    QCOMPARE(entries[1].name, QStringLiteral("三"));
    QCOMPARE(entries[2].name, QStringLiteral("四"));
    QCOMPARE(entries[2].children.value(0).name, QStringLiteral("四の一"));
}

void TestHelpRouter::helpLocationsAndTextDecoding()
{
    THelpLocation l = ParseHelpLocation(QStringLiteral("/a/b.chm::/dir/page.htm#part>main"));
    QCOMPARE(l.file, QStringLiteral("/a/b.chm"));
    QCOMPARE(l.topic, QStringLiteral("dir/page.htm#part"));
    QCOMPARE(l.window, QStringLiteral("main"));
    l = ParseHelpLocation(QStringLiteral("mk:@MSITStore:/a/b.chm::/x.htm"));
    QCOMPARE(l.file, QStringLiteral("/a/b.chm"));
    QCOMPARE(l.topic, QStringLiteral("x.htm"));
    l = ParseHelpLocation(QStringLiteral("/a/b.chm"));
    QCOMPARE(l.file, QStringLiteral("/a/b.chm"));
    QVERIFY(l.topic.isEmpty());
    QCOMPARE(ChangeFileExt(QStringLiteral("/x.y/TodayMirvo"), QStringLiteral(".chm")), QStringLiteral("/x.y/TodayMirvo.chm"));
    QCOMPARE(ChangeFileExt(QStringLiteral("/x/TodayMirvo.exe"), QStringLiteral(".chm")), QStringLiteral("/x/TodayMirvo.chm"));

    // "今日" in code page 932, with and without the page naming its charset.
    const QByteArray sjis("\x8D\xA1\x93\xFA");
    QCOMPARE(DecodeHelpText("<meta charset=\"Shift_JIS\">" + sjis).right(2), QStringLiteral("今日"));
    QCOMPARE(DecodeHelpText(sjis), QStringLiteral("今日"));
    QCOMPARE(DecodeHelpText(QStringLiteral("今日").toUtf8()), QStringLiteral("今日"));
}

QTEST_MAIN(TestHelpRouter)
#include "tst_helprouter.moc"
