#include "app/formmain.h"

#include "app/biochart.h"
#include "app/gotoday.h"
#include "app/helpkeys.h"
#include "app/quitsignals.h"
#include "base/error.h"
#include "base/messages.h"
#include "base/stringtable.h"
#include "base/systemerror.h"
#include "base/utf8.h"
#include "components/animatewindow.h"
#include "components/colors.h"
#include "components/fonts.h"
#include "components/gradbox.h"
#include "components/label3d.h"
#include "components/multilinelabel.h"
#include "components/qtext.h"
#include "components/windowplace.h"
#include "help/helprouter.h"
#include "members/backups.h"
#include "notify/autostart.h"
#include "settings/formoption.h"
#include "settings/restorebackup.h"
#include "start/filemessages.h"
#include "start/instancelock.h"
#include "start/memberplaces.h"
#include "start/membersaveretry.h"
#include "start/programstart.h"
#include "start/startreport.h"
#include "ui_formmain.h"
#include "version/appinfo.h"
#include "views/dialogversion.h"
#include "views/formmonth.h"
#include "views/formpair.h"
#include "views/mirvoinfo.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QToolBar>

#include <algorithm>
#include <filesystem>
#include <iostream>

using mirvo::Q;

TTodayMirvo* TodayMirvo = nullptr;

namespace {

constexpr char kHeartInSymbolFont = '\xA9';
constexpr int kMainFontPixels = 12;
constexpr int kMemberShortcuts = 9;        // Ctrl+1 .. Ctrl+9 for the first nine members
constexpr int kAdvicePerLevel = 10;         // advice sentences per rating level, from each base
constexpr int kAdviceBottomMargin = 4;      // pixels kept below the advice when it fills the window
constexpr int kPictureTitlePixels = 12;
constexpr int kPictureTitlePadding = 4;
constexpr int kPreviewHeightPercent = 75;           // of the screen's work area
constexpr int kPreviewWidthPercentOfHeight = 85;    // an upright page and the tool bar

// How a label of the window looks: face, size, weight, colour, first caption
// (a symbol or a placeholder) followed by the string-table text `captionId`.
struct LabelLook {
    const char* name;
    const QString& face;
    int pixels;
    bool bold;
    mirvo::TColor colour;
    const char* caption;
    mirvo::TAlignment alignment;
    int captionId = 0;
};

const LabelLook kLabelLooks[] = {
    {"labDate", mirvo::kFaceArial, 21, true, mirvo::clWhite, "0000/00/00 ", mirvo::taLeftJustify},
    {"labHealth", mirvo::kFaceMSPGothic, 15, true, mirvo::AxisColour(mirvo::axHealth), "", mirvo::taLeftJustify, mirvo::kTextAxisNames + mirvo::axHealth},
    {"labFeel", mirvo::kFaceMSPGothic, 15, true, mirvo::AxisColour(mirvo::axFeeling), "", mirvo::taLeftJustify, mirvo::kTextAxisNames + mirvo::axFeeling},
    {"labIntell", mirvo::kFaceMSPGothic, 15, true, mirvo::AxisColour(mirvo::axIntellect), "", mirvo::taLeftJustify, mirvo::kTextAxisNames + mirvo::axIntellect},
    {"labFaceHealth", mirvo::kFaceWingdings, 16, false, mirvo::clWhite, "J", mirvo::taLeftJustify},
    {"labFaceFeel", mirvo::kFaceWingdings, 16, false, mirvo::clWhite, "K", mirvo::taLeftJustify},
    {"labFaceIntell", mirvo::kFaceWingdings, 16, false, mirvo::clWhite, "L", mirvo::taLeftJustify},
    {"labBio", mirvo::kFaceSymbol, 16, false, mirvo::clRed, "", mirvo::taLeftJustify},
    {"labStar", mirvo::kFaceMSPGothic, 15, false, mirvo::clYellow, "★", mirvo::taLeftJustify},
    {"labMessage", mirvo::kFaceMSPGothic, 13, false, mirvo::clWhite, "", mirvo::taLeftJustify},
    {"labBioHealth", mirvo::kFaceMSPGothic, 12, false, mirvo::clWhite, "-999%", mirvo::taRightJustify},
    {"labBioFeel", mirvo::kFaceMSPGothic, 12, false, mirvo::clWhite, "-999%", mirvo::taRightJustify},
    {"labBioIntell", mirvo::kFaceMSPGothic, 12, false, mirvo::clWhite, "-999%", mirvo::taRightJustify},
    {"labStarHealth", mirvo::kFaceMSPGothic, 12, false, mirvo::clWhite, "-999", mirvo::taRightJustify,
     mirvo::kTextPoints},
    {"labStarFeel", mirvo::kFaceMSPGothic, 12, false, mirvo::clWhite, "-999", mirvo::taRightJustify,
     mirvo::kTextPoints},
    {"labStarIntell", mirvo::kFaceMSPGothic, 12, false, mirvo::clWhite, "-999", mirvo::taRightJustify,
     mirvo::kTextPoints},
    {"labMesHealth", mirvo::kFaceMSPGothic, 12, false, mirvo::clWhite, "****", mirvo::taLeftJustify},
    {"labMesFeel", mirvo::kFaceMSPGothic, 12, false, mirvo::clWhite, "****", mirvo::taLeftJustify},
    {"labMesIntell", mirvo::kFaceMSPGothic, 12, false, mirvo::clWhite, "****", mirvo::taLeftJustify},
};

} // namespace

TTodayMirvo::TTodayMirvo(const mirvo::ProgramPaths& paths, QWidget* parent, std::optional<std::string> startMember)
    : QWidget(parent), ui(std::make_unique<Ui::TTodayMirvo>()), FPaths(paths), FStartMember(std::move(startMember))
{
    InstallAccessibility();
    // The window's own font first: the labels of the layout take it before
    // they are placed, so an auto-sized label keeps the edge it was given.
    setFont(mirvo::WindowsFont(mirvo::kFaceMSPGothic, kMainFontPixels));
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(size());
    TodayMirvo = this;
    FReportError = [this](const QString& message) {
        QMessageBox::critical(this, Q(mirvo::AppFileDescription()), message);
    };
    FChooseFile = mirvo::ChooseSaveFile;
    FChooseMemberFile = mirvo::ChooseSaveFile;
    // The animation first: the first one made belongs to the main form.
    objAnimateWindow = new mirvo::TAnimateWindow(this);
    objHTMLhelpRouter = new mirvo::THTMLhelpRouter(this);
    objHTMLhelpRouter->SetHelpType(mirvo::htHTMLhelp);
    objHTMLhelpRouter->SetVersion("2.02");
    objHTMLhelpRouter->SetOnHelp([this](quint16 command, quintptr data, bool& callHelp) {
        return objHTMLhelpRouterHelp(command, data, callHelp);
    });
    // F1 in any window of the program opens the page of the window and part the user is in.
    qApp->installEventFilter(new THelpKeys(this));
    CreateMenu();
    ApplyLayoutProperties();
    FormCreate();
}

TTodayMirvo::~TTodayMirvo()
{
    FormDestroy();
    if (TodayMirvo == this)
        TodayMirvo = nullptr;
}

void TTodayMirvo::CreateMenu()
{
    mnuMenu = new QMenu(this);
    mnuMenu->setObjectName("mnuMenu");
    auto add = [this](QMenu* menu, const char* name, const QString& caption, int tag,
                      const QKeySequence& shortcut = {}) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        a->setData(tag);
        if (!shortcut.isEmpty()) {
            a->setShortcut(shortcut);
            a->setShortcutContext(Qt::WindowShortcut);
            addAction(a);  // so the shortcut works while the menu is closed
        }
        connect(a, &QAction::triggered, this, &TTodayMirvo::MenuItemOnClick);
        return a;
    };
    const auto text = [](int id) { return Q(mirvo::LoadStr(id)); };
    mniToday = add(mnuMenu, "mniToday", text(mirvo::kTextMenuToday), cmdToday, QKeySequence("Ctrl+T"));
    mniPreDay = add(mnuMenu, "mniPreDay", text(mirvo::kTextMenuPreDay), cmdPreDay, QKeySequence("Ctrl+B"));
    mniNextDay = add(mnuMenu, "mniNextDay", text(mirvo::kTextMenuNextDay), cmdNextDay, QKeySequence("Ctrl+N"));
    mniGoToDay = add(mnuMenu, "mniGoToDay", text(mirvo::kTextMenuGoToDay), cmdGoToDay, QKeySequence("Ctrl+G"));
    // Home: back to today, as in the month window.
    auto* home = new QAction(this);
    home->setObjectName("actHomeToday");
    home->setData(cmdToday);
    home->setShortcut(QKeySequence(Qt::Key_Home));
    home->setShortcutContext(Qt::WindowShortcut);
    connect(home, &QAction::triggered, this, &TTodayMirvo::MenuItemOnClick);
    addAction(home);
    mnuMenu->addSeparator()->setObjectName("mniSep3");
    mniMember = mnuMenu->addMenu(Q(mirvo::LoadStr(mirvo::kTextMemberMenu)));
    mniMember->setObjectName("mniMember");
    FMemberItems = new QActionGroup(this);
    FMemberItems->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    mniOption = add(mnuMenu, "mniOption", text(mirvo::kTextMenuOption), cmdOption);
    mniInfo = add(mnuMenu, "mniInfo", text(mirvo::kTextMenuInfo), cmdInfo);
    mniMonth = add(mnuMenu, "mniMonth", Q(mirvo::LoadStr(mirvo::kTextMonthCommand)), cmdMonth, QKeySequence("Ctrl+M"));
    mniPair = add(mnuMenu, "mniPair", Q(mirvo::LoadStr(mirvo::kTextPairCommand)), cmdPair);
    mniSavePicture = add(mnuMenu, "mniSavePicture", Q(mirvo::LoadStr(mirvo::kTextSavePictureCommand)), cmdSavePicture);
    mniPrint = add(mnuMenu, "mniPrint", Q(mirvo::LoadStr(mirvo::kTextPrintCommand)), cmdPrint);
    mnuMenu->addSeparator()->setObjectName("mniSep4");
    mniAutostart = add(mnuMenu, "mniAutostart", Q(mirvo::LoadStr(mirvo::kTextAutostartSetting)), cmdAutostart);
    mniAutostart->setCheckable(true);
    // Its state is the entry's existence, looked at whenever the menu opens.
    connect(mnuMenu, &QMenu::aboutToShow, this, &TTodayMirvo::ShowAutostartState);
#ifdef Q_OS_WIN
    // Login notifications are the Linux desktops' (an autostart entry and the
    // session bus); Windows has neither.
    mniAutostart->setVisible(false);
#endif
    mnuMenu->addSeparator()->setObjectName("mniSep1");
    QMenu* help = mnuMenu->addMenu(text(mirvo::kTextMenuHelp));
    help->setObjectName("mniHelp");
    mniContents = add(help, "mniContents", text(mirvo::kTextMenuContents), cmdContents);
    mniAbout = add(help, "mniAbout", text(mirvo::kTextMenuAbout), cmdAbout);
    mnuMenu->addSeparator()->setObjectName("mniSep2");
    mniClose = add(mnuMenu, "mniClose", text(mirvo::kTextMenuClose), cmdClose);
}

void TTodayMirvo::FillMemberMenu()
{
    // Deleting an item also takes its shortcut off the window.
    for (QAction* old : FMemberItems->actions())
        delete old;
    const int listed = std::min(FMemberList->Count(), cmdMemberLast - cmdMemberFirst + 1);
    for (int i = 0; i < listed; ++i) {
        const std::string& name = FMemberList->Items(i).Name;
        QString caption = name.empty() ? Q(mirvo::LoadStr(mirvo::kTextNoName)) : Q(name);
        caption.replace('&', "&&");  // a name's "&" is no mnemonic
        QAction* item = mniMember->addAction(caption);
        item->setObjectName(QStringLiteral("mniMember%1").arg(i));
        item->setData(cmdMemberFirst + i);
        item->setCheckable(true);
        item->setChecked(i == FOptions->DefaultUserIndex);
        FMemberItems->addAction(item);
        if (i < kMemberShortcuts) {
            item->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_1 + i)));
            item->setShortcutContext(Qt::WindowShortcut);
            addAction(item);
        }
        connect(item, &QAction::triggered, this, &TTodayMirvo::MenuItemOnClick);
    }
    mniMember->setEnabled(FMemberList->Count() > 0);
}

void TTodayMirvo::ShowMember(int index)
{
    if (index < 0 || index >= FMemberList->Count())
        return;
    FMember->Assign(FMemberList->Items(index));
    FOptions->DefaultUserIndex = index;
    const auto items = FMemberItems->actions();
    if (index < items.size())
        items[index]->setChecked(true);
    ShowEvaluation(*FMember, FDate);
}

void TTodayMirvo::ToggleAutostart()
{
    const auto file = mirvo::AutostartFile(mirvo::UserFolders::FromEnvironment());
    try {
        if (mirvo::AutostartOn(file))
            mirvo::RemoveAutostart(file);
        else
            mirvo::WriteAutostart(file, mirvo::NotifyCommand(FPaths));
    } catch (const std::exception& e) {
        ReportError(Q(e.what()));
    }
    ShowAutostartState();
}

void TTodayMirvo::ShowAutostartState()
{
    mniAutostart->setChecked(mirvo::AutostartOn(mirvo::AutostartFile(mirvo::UserFolders::FromEnvironment())));
}

void TTodayMirvo::ApplyLayoutProperties()
{
    ui->imgBack->SetTopColor(mirvo::clBlack);
    ui->imgBack->SetLastColor(mirvo::clBlue);
    ui->imgBack->SetDrawOutLine(false);
    ui->imgBack->SetFont3D(false);
    for (const LabelLook& look : kLabelLooks) {
        auto* label = findChild<mirvo::TMirvoLabel*>(look.name);
        label->SetTransparent(true);
        label->SetAlignment(look.alignment);
        label->SetWindowsFont(look.face, look.pixels, look.bold);
        label->SetFontColor(look.colour);
        const QString text = look.captionId ? Q(mirvo::LoadStr(look.captionId)) : QString();
        label->SetCaption(QString::fromUtf8(look.caption) + text);
    }
    ui->labDate->SetBackColor(mirvo::clBlue);
    ui->labMessage->SetAutoSize(false);
    ui->labMessage->SetWordWrap(true);
    ui->labMessage->SetShadowVisible(false);
    FitAdviceLabel();
}

void TTodayMirvo::FitAdviceLabel()
{
    // Every advice whole in the face the system gives for the label's (a
    // Japanese Windows face draws wider than the layout's): the label grows
    // downwards as far as its longest text needs, the window with it when the
    // text would pass the window's bottom margin.
    mirvo::TMultiLineLabel* label = ui->labMessage;
    int needed = label->height();
    for (const int base : {mirvo::kAdviceVeryGoodBase, mirvo::kAdviceGoodBase, mirvo::kAdviceAlmostBase,
                           mirvo::kAdviceHangInBase})
        for (int i = 0; i < kAdvicePerLevel; ++i)
            needed = std::max(needed, label->TextHeight(Q(mirvo::LoadStr(base + i))));
    if (needed == label->height())
        return;
    const int margin = height() - label->y() - label->height();
    const int grow = std::max(0, label->y() + needed + std::min(margin, kAdviceBottomMargin) - height());
    label->resize(label->width(), needed);
    if (grow > 0) {
        setFixedSize(width(), height() + grow);
        ui->imgBack->resize(ui->imgBack->width(), ui->imgBack->height() + grow);
    }
}

void TTodayMirvo::contextMenuEvent(QContextMenuEvent* event)
{
    // The menu key: the mouse may be anywhere, so the menu opens over the window.
    if (event->reason() == QContextMenuEvent::Keyboard) {
        ShowMenuFromKeyboard();
        return;
    }
    mnuMenu->exec(event->globalPos());
}

void TTodayMirvo::FormCreate()
{
    setWindowTitle(Q(mirvo::AppFileDescription()));
    objHTMLhelpRouter->SetHelpfile(QString::fromStdString(FPaths.HelpFile().string()));
    FDate = koyomi::Now();
    FMember = std::make_unique<mirvo::TMemberListItem>();
    FMemberList = std::make_unique<mirvo::TMemberList>();
    FMemberFile = FPaths.MemberFile();
    // What the files held that was not read is told, in one box; the start goes on.
    mirvo::TSettingsReadReport settingsReport;
    FOptions = std::make_unique<mirvo::TMirvoOptions>(mirvo::LoadSettings(FPaths, {}, &settingsReport));
    // Placed before any box at start: a box makes the window's native window,
    // and a window moved after that is placed by its client area, not by its
    // frame, so that it would come up the height of its title bar higher at
    // each start.
    move(FOptions->WindowLeft, FOptions->WindowTop);
    std::vector<std::string> problems = mirvo::SettingsReadMessages(FOptions->GetIniPath(), settingsReport);
    // A program folder that others can write is passed over; said once, before the user's own settings exist.
    std::error_code ec;
    if (!FPaths.sharedFolder.empty() && !std::filesystem::exists(FPaths.SettingsFile(), ec))
        problems.push_back(mirvo::SharedFolderMessage(FPaths));
    // The newest of the list's own file, the list beside the program and the
    // file the list went to when its own could not be written; saves go to
    // the own file first all the same.
    const mirvo::TMemberFileChoice choice = mirvo::ChooseMemberFileToRead(
        FPaths.MemberFile(), {mirvo::MemberFileBesideProgram(FPaths), koyomi::PathFromUtf8(FOptions->MemberFileInstead),
                              mirvo::PrivateRuntimeFolder() / FPaths.MemberFile().filename()});
    if (choice.other)
        problems.push_back(mirvo::FormatStr(mirvo::kMsgReadFromOther, {choice.readFrom.string(), FPaths.MemberFile().string(),
                                                                       FPaths.MemberFile().string()}));
    try {
        mirvo::TMemberFileReport report;
        mirvo::LoadMembers(*FMemberList, FPaths, choice.other ? std::optional(choice.readFrom) : std::nullopt,
                           &report, mirvo::kMaxMemberFileBytes);
        const std::vector<std::string> lines = mirvo::MemberFileMessages(choice.readFrom, report);
        problems.insert(problems.end(), lines.begin(), lines.end());
    } catch (const std::exception& e) {
        problems.emplace_back(e.what());
    }
    // A file that cannot be written is told now, not when its changes are lost.
    const std::vector<std::string> unwritable = UnwritableFileWarnings();
    problems.insert(problems.end(), unwritable.begin(), unwritable.end());
    // Everything that was not read, in one box of a few lines; the whole list goes to a log file.
    if (!problems.empty())
        ReportNotice(Q(mirvo::LoadStr(mirvo::kCaptionFilesRead)),
                     Q(mirvo::ShortStartReport(problems, FPaths.LogFile()).text), QMessageBox::Warning);
    ChooseMember();
    FillMemberMenu();
    setWindowTitle(MakeTitle(*FMember));
    ui->labBio->SetCaption(QString(QChar(static_cast<unsigned char>(kHeartInSymbolFont))));
    ShowDate();
    FFaceLabels = {ui->labFaceHealth, ui->labFaceFeel, ui->labFaceIntell};
    FBioLabels = {ui->labBioHealth, ui->labBioFeel, ui->labBioIntell};
    FStarLabels = {ui->labStarHealth, ui->labStarFeel, ui->labStarIntell};
    FRateLabels = {ui->labMesHealth, ui->labMesFeel, ui->labMesIntell};
    CreateAccessibility();
    CreateWelcome();
    ShowEvaluation(*FMember, FDate);
    ShowWelcome();
}

void TTodayMirvo::ChooseMember()
{
    // The rule is the core's, so that mirvo-today shows the same member.
    mirvo::TodayMember chosen = mirvo::StartMember(*FMemberList, FOptions->DefaultUserIndex, koyomi::Now());
    // Opened on a member (the notification's action): that one, as if chosen from the member menu.
    if (FStartMember) {
        try {
            chosen = mirvo::FindMember(*FMemberList, *FStartMember);
        } catch (const koyomi::EMirvoError&) {
            // gone from the list since: the default member
        }
    }
    FOptions->DefaultUserIndex = chosen.index;
    FMember->Assign(chosen.item);
}

void TTodayMirvo::closeEvent(QCloseEvent* event)
{
    if (!FSavedAtClose && FOptions) {
        SaveFiles(mirvo::smExit);
        FSavedAtClose = true;
    }
    QWidget::closeEvent(event);
    // Closing the main window ends the program: the windows it opened go
    // with it, the help window too, which has no owner and would otherwise
    // keep the program running without a main window.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible())
            window->close();
    }
    QCoreApplication::quit();
}

void TTodayMirvo::FormDestroy()
{
    if (FDestroyed || !FOptions)
        return;
    FDestroyed = true;
    // Closed by the user, the window saved already; ended otherwise (a
    // signal, the end of the message loop), it saves now.
    if (!FSavedAtClose)
        SaveFiles(mirvo::smExit);
}

std::vector<std::string> TTodayMirvo::UnwritableFileWarnings() const
{
    std::vector<std::string> warnings;
    if (!mirvo::FileIsWritable(FMemberFile)) {
        const std::vector<std::filesystem::path> instead = PlacesToSaveInstead();
        warnings.push_back(instead.empty()
                               ? mirvo::FormatStr(mirvo::kMsgMemberFileNowhere, {FMemberFile.string()})
                               : mirvo::FormatStr(mirvo::kMsgMemberFileUnwritable,
                                                  {FMemberFile.string(), instead.front().string()}));
    }
    if (!mirvo::FileIsWritable(FOptions->GetIniPath()))
        warnings.push_back(mirvo::FormatStr(mirvo::kMsgSettingsUnwritable, {FOptions->GetIniPath().string()}));
    return warnings;
}

std::vector<std::filesystem::path> TTodayMirvo::PlacesToSaveInstead() const
{
    return mirvo::PlacesToSaveInstead(FMemberFile, koyomi::PathFromUtf8(FOptions->MemberFileInstead), mirvo::UserFolders::FromEnvironment(),
                                      mirvo::PrivateRuntimeFolder());
}

void TTodayMirvo::SaveFiles(mirvo::TSaveMoment moment)
{
    FOptions->WindowLeft = x();
    FOptions->WindowTop = y();
    // Each file is saved on its own: a failed member file never keeps the settings from being saved.
    SaveMemberList(moment);
    SaveSettingsFile();
}

void TTodayMirvo::SaveSettingsFile()
{
    try {
        mirvo::SaveSettingsKeepingBackup(*FOptions);
    } catch (const std::exception& e) {
        ReportError(Q(e.what()));
    }
}

bool TTodayMirvo::SaveMemberList(mirvo::TSaveMoment moment)
{
    mirvo::TMemberSaveCalls calls;
    calls.write = [this](const std::filesystem::path& file, mirvo::TMemberSaveReport& report,
                         const mirvo::SaveWithoutBackup& ask) {
        mirvo::SaveMemberListKeepingBackup(*FMemberList, file, report, FListEmptiedByUser, ask);
    };
    calls.quitRequested = mirvo::QuitRequested;
    calls.placesInstead = [this] { return PlacesToSaveInstead(); };
    calls.askSaveWithoutBackup = [this](const std::filesystem::path& file, const std::filesystem::path& folder) {
        return AskSaveWithoutBackup(this, file, folder);
    };
    calls.askAfterFailure = [this](const std::string& message, bool offerInstead) {
        return AskAfterFailedSave(message, offerInstead);
    };
    calls.chooseFile = [this](const std::filesystem::path& start) {
        const QString chosen = FChooseMemberFile(this, Q(mirvo::LoadStr(mirvo::kCaptionMemberSave)), Q(start.string()),
                                                 Q(mirvo::LoadStr(mirvo::kTextMemberFileFilter)));
        return chosen.isEmpty() ? std::filesystem::path() : mirvo::PathFromQ(chosen);
    };
    calls.askEndWithoutSaving = [this] {
        // いいえ tries again; whatever else ends without saving.
        return QMessageBox::question(this, Q(mirvo::LoadStr(mirvo::kCaptionMemberSave)),
                                     Q(mirvo::LoadStr(mirvo::kMsgEndWithoutSaving)))
               != QMessageBox::No;
    };
    calls.tell = [this](mirvo::TSaveNotice notice, const std::string& text) {
        const int caption = notice == mirvo::snSaved ? mirvo::kCaptionFilesSaved : mirvo::kCaptionMemberSave;
        if (notice == mirvo::snSaveLater)
            QMessageBox::warning(this, Q(mirvo::LoadStr(caption)), Q(text));
        else
            ReportNotice(Q(mirvo::LoadStr(caption)), Q(text), QMessageBox::Information);
    };
    calls.failedUnasked = [this](const std::string& error) {
        const QString message = Q(error);
        ReportError(message);
        LogNotice(message.toStdString());
    };
    calls.log = [this](const std::string& line) { LogNotice(line); };
    calls.saved = [this](const std::filesystem::path& file) {
        FListEmptiedByUser = false;
        if (file != FMemberFile) {
            // From now on this run saves there and the settings remember it.
            FMemberFile = file;
            FOptions->MemberFileInstead = file.string();
            FOptions->LastFolder = mirvo::FolderWithSeparator(file.parent_path());
        }
    };
    return mirvo::TMemberSaveRetry(FMemberFile, std::move(calls)).Save(moment);
}

mirvo::TSaveFailedAnswer TTodayMirvo::AskAfterFailedSave(const std::string& message, bool offerInstead)
{
    // 名前を付けて保存, the place to save instead, or キャンセル.
    QMessageBox box(QMessageBox::Warning, Q(mirvo::LoadStr(mirvo::kCaptionMemberSave)), Q(message),
                    QMessageBox::Cancel, this);
    box.setObjectName("boxSaveFailed");
    box.setTextFormat(Qt::PlainText);
    QPushButton* saveAs = box.addButton(Q(mirvo::LoadStr(mirvo::kTextSaveAsButton)), QMessageBox::AcceptRole);
    QPushButton* saveInstead = nullptr;
    if (offerInstead) {
        saveInstead = box.addButton(Q(mirvo::LoadStr(mirvo::kTextSaveInsteadButton)), QMessageBox::AcceptRole);
        saveInstead->setObjectName("btnSaveInstead");
    }
    box.setDefaultButton(saveInstead != nullptr ? saveInstead : saveAs);
    box.exec();
    if (box.clickedButton() == saveAs)
        return mirvo::sfSaveAs;
    if (saveInstead != nullptr && box.clickedButton() == saveInstead)
        return mirvo::sfSaveInstead;
    return mirvo::sfCancel;
}

void TTodayMirvo::LogNotice(const std::string& message) const
{
    // The log beside the settings; when that cannot be written, beside the list.
    if (!mirvo::AppendToLog(FPaths.LogFile(), message))
        mirvo::AppendToLog(FMemberFile.parent_path() / FPaths.LogFile().filename(), message);
}

void TTodayMirvo::ReportError(const QString& message) const
{
    // Ending on a signal, no one is waited for: the message goes to the standard error.
    if (mirvo::QuitRequested())
        std::cerr << message.toStdString() << '\n';
    else if (FReportError)
        FReportError(message);
}

void TTodayMirvo::ReportNotice(const QString& caption, const QString& message, QMessageBox::Icon icon)
{
    if (mirvo::QuitRequested()) {
        std::cerr << message.toStdString() << '\n';
        return;
    }
    QMessageBox box(icon, caption, message, QMessageBox::Ok, this);
    box.setObjectName("boxFileNotice");
    // The texts quote file names and file contents: never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
    // Closed by a termination signal before anyone read it: the standard error keeps it.
    if (mirvo::QuitRequested())
        std::cerr << message.toStdString() << '\n';
}

bool TTodayMirvo::objHTMLhelpRouterHelp(quint16, quintptr, bool&)
{
    // The help file is named after the program; the router serves the request itself.
    objHTMLhelpRouter->SetHelpfile(QString::fromStdString(FPaths.HelpFile().string()));
    return false;
}

QString TTodayMirvo::MakeTitle(const mirvo::TMemberListItem& member) const
{
    const QString description = Q(mirvo::AppFileDescription());
    if (member.Name.empty())
        return description;
    const QString title = QStringLiteral("%1 [%2]").arg(description, Q(member.Name));
    // Someone shown but not registered is not there at the next start: the title says so.
    for (int i = 0; FMemberList && i < FMemberList->Count(); ++i)
        if (mirvo::SameMemberData(FMemberList->Items(i), member))
            return title;
    return title + " " + Q(mirvo::LoadStr(mirvo::kTextNotInList));
}

void TTodayMirvo::ShowDate()
{
    ui->labDate->SetCaption(Q(koyomi::DateToFileText(FDate) + " "));
}

void TTodayMirvo::MenuItemOnClick()
{
    if (auto* action = qobject_cast<QAction*>(sender()))
        RunCommand(action->data().toInt());
}

void TTodayMirvo::RunCommand(int tag)
{
    try {
        switch (tag) {
        case cmdToday:
        case cmdPreDay:
        case cmdNextDay:
            if (tag == cmdToday)
                FDate = koyomi::Now();
            else
                FDate = koyomi::StepDays(FDate, tag == cmdPreDay ? -1.0 : 1.0);
            ShowDate();
            ShowEvaluation(*FMember, FDate);
            break;
        case cmdGoToDay:
            if (const auto day = AskDay(this, FDate))
                ShowDay(koyomi::StepDays(FDate, *day - koyomi::DateOf(FDate)));  // the time of day kept, as the day commands keep it
            break;
        case cmdOption:
            ShowOptionWindow();
            break;
        case cmdInfo:
            ShowInfoWindow();
            break;
        case cmdMonth:
            ShowMonthWindow();
            break;
        case cmdPair:
            ShowPairWindow();
            break;
        case cmdSavePicture:
            SavePicture();
            break;
        case cmdPrint:
            ShowPrintPreview();
            break;
        case cmdAutostart:
            ToggleAutostart();
            break;
        case cmdContents:
            objHTMLhelpRouter->HelpContent();
            break;
        case cmdAbout:
            ShowVersionDialog();
            break;
        case cmdClose:
            close();
            break;
        default:
            if (tag >= cmdMemberFirst && tag <= cmdMemberLast)
                ShowMember(tag - cmdMemberFirst);
            break;
        }
    } catch (const std::exception& e) {
        ReportError(Q(e.what()));
    }
}

void TTodayMirvo::Reevaluate()
{
    ShowEvaluation(*FMember, FDate);
}

void TTodayMirvo::ShowEvaluation(const mirvo::TMemberListItem& member, koyomi::TDateTime date)
{
    setWindowTitle(MakeTitle(member));
    const mirvo::EvalSettings settings = mirvo::EvalSettingsOf(*FOptions);
    FLastEvaluation = mirvo::Evaluate(member.Birthday, date, settings);
    const double days = FLastEvaluation.daysSinceBirth;
    auto* chart = ui->imgBio;
    chart->SetChart(mirvo::MakeBioChart(chart->width(), chart->height(), settings.bioCycle, days));
    const mirvo::TDayReading& r = FLastEvaluation.reading;
    const mirvo::TDayVerdict& v = FLastEvaluation.verdict;
    for (int k = 0; k < mirvo::kAxisCount; ++k) {
        FBioLabels[k]->SetCaption(QString::number(r.BioPercent[k]) + "%");
        FStarLabels[k]->SetCaption(QString::number(r.StarTotal[k]) + Q(mirvo::LoadStr(mirvo::kTextPoints)));
        FFaceLabels[k]->SetCaption(Q(mirvo::FaceGlyph(v.axes[k].face)));
        FFaceLabels[k]->SetFontColor(v.axes[k].colour);
        FRateLabels[k]->SetCaption(Q(mirvo::RatingText(v.axes[k].rating)));
    }
    ui->labMessage->SetLinesText(v.adviceId ? Q(mirvo::LoadStr(v.adviceId)) : QString());
    ui->labMessage->repaint();
    ShowAccessibleReading(days);
    if (InfoWindowOpen && MirvoInfo)
        MirvoInfo->ShowMemberInfo(member, *FOptions, r.StarScore, date);
    if (MirvoMonth)
        MirvoMonth->ShowMonth(member, settings, date);
}

void TTodayMirvo::ShowDay(koyomi::TDateTime day)
{
    if (!koyomi::InDateRange(day))
        return;
    FDate = day;
    ShowDate();
    ShowEvaluation(*FMember, FDate);
}

void TTodayMirvo::TakeSettings(const mirvo::TMirvoOptions& options, const mirvo::TMemberList& members,
                               const mirvo::TMemberListItem& current)
{
    // A list the user emptied (every member deleted, after saying so) is kept empty.
    if (FMemberList->Count() > 0 && members.Count() == 0)
        FListEmptiedByUser = true;
    FOptions->Assign(options);
    FMemberList->Assign(members);
    FMember->Assign(current);
    ShowEvaluation(*FMember, FDate);
    FOptions->DefaultUserIndex = -1;
    for (int i = 0; i < FMemberList->Count(); ++i) {
        if (mirvo::SameMemberData(FMemberList->Items(i), *FMember)) {
            FOptions->DefaultUserIndex = i;
            break;
        }
    }
    FillMemberMenu();
    ShowWelcome();
    // The 相性 window chooses among the list as it is now.
    if (MirvoPair)
        MirvoPair->ShowPair(*FMemberList, *FMember, FOptions->DefaultUserIndex, mirvo::EvalSettingsOf(*FOptions),
                            FDate);
    // What the user sees after OK is what is kept: written now, not only at exit.
    SaveFiles(mirvo::smSettingsOK);
}

void TTodayMirvo::ShowOptionWindow()
{
    // Made for this one use and destroyed on every way out.
    auto window = std::make_unique<TTodayMirvoOption>(FPaths.LastFolderStart(), this);
    window->Options().Assign(*FOptions);
    window->Members().Assign(*FMemberList);
    window->CurrentMember().Assign(*FMember);
    window->SetMemberFile(FMemberFile);
    window->ShowSettings();
    // The first member: the name is what to type first.
    if (FMemberList->Count() == 0)
        if (auto* name = window->findChild<QLineEdit*>("txtName"))
            name->setFocus();
    if (window->exec() == QDialog::Accepted)
        TakeSettings(window->Options(), window->Members(), window->CurrentMember());
}

void TTodayMirvo::ShowInfoWindow()
{
    if (InfoWindowOpen)
        return;
    MirvoInfo = new TMirvoInfo(this);
    connect(MirvoInfo, &TMirvoInfo::Shown, this, &TTodayMirvo::Reevaluate);
    MirvoInfo->show();
}

void TTodayMirvo::ShowVersionDialog()
{
    // Made for this one use, shown modally, destroyed on every way out.
    TDialogVersion box(this);
    box.exec();
}

void TTodayMirvo::ShowMonthWindow()
{
    if (MirvoMonth) {
        MirvoMonth->raise();
        MirvoMonth->activateWindow();
        return;
    }
    auto* month = new TMirvoMonth([this](koyomi::TDateTime day) { ShowDay(day); }, this);
    month->ShowMonth(*FMember, mirvo::EvalSettingsOf(*FOptions), FDate);
    if (MirvoPair)
        month->MarkPairDays(MirvoPair->GoodDays());
    month->show();
    // Beside the main window, so that a click on a day shows the day where it can be seen.
    mirvo::PlaceBeside(*month, *this);
}

void TTodayMirvo::ShowPairWindow()
{
    if (MirvoPair) {
        MirvoPair->raise();
        MirvoPair->activateWindow();
        return;
    }
    auto* pair = new TMirvoPair([this](koyomi::TDateTime day) { ShowDay(day); }, this);
    // It opens again on the pair it was closed with.
    if (FLastPair)
        pair->StartOn(FLastPair->first, FLastPair->second);
    connect(pair, &QDialog::finished, this, [this, pair] {
        auto last = std::make_unique<std::pair<mirvo::TMemberListItem, mirvo::TMemberListItem>>();
        if (pair->ChosenMembers(last->first, last->second))
            FLastPair = std::move(last);
    });
    pair->ShowPair(*FMemberList, *FMember, FOptions->DefaultUserIndex, mirvo::EvalSettingsOf(*FOptions), FDate);
    pair->show();
    // Beside the main window, not over it.
    mirvo::PlaceBeside(*pair, *this);
}

void TTodayMirvo::PaintReading(QPainter& painter)
{
    render(&painter, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
}

void TTodayMirvo::SavePicture()
{
    const QString suggested = mirvo::SuggestedFileName(FMember->Name, FDate, "yyyy'-'mm'-'dd", ".png");
    const QString path =
        FChooseFile(this, Q(mirvo::LoadStr(mirvo::kTextSavePicture)), suggested, Q(mirvo::LoadStr(mirvo::kTextPictureFilters)));
    if (path.isEmpty())
        return;
    // The window's title (the program and the member) in a band above the
    // reading, as the window shows it on the screen: a picture without it
    // would not say whose day it is.
    const QFont font = mirvo::WindowsFont(mirvo::kFaceMSPGothic, kPictureTitlePixels, true);
    const int band = QFontMetrics(font).height() + 2 * kPictureTitlePadding;
    const QString title = windowTitle();
    const auto error = mirvo::WritePicture(
        path, size() + QSize(0, band),
        [&](QPainter& painter) {
            painter.fillRect(QRect(0, 0, width(), band), Qt::black);
            painter.setFont(font);
            painter.setPen(Qt::white);
            painter.drawText(QRect(kPictureTitlePadding, 0, width() - 2 * kPictureTitlePadding, band),
                             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                             QFontMetrics(font).elidedText(title, Qt::ElideRight, width() - 2 * kPictureTitlePadding));
            painter.translate(0, band);
            PaintReading(painter);
        },
        title);
    if (error)
        ReportError(*error);
}

mirvo::PrintContent TTodayMirvo::PrintContentOf()
{
    mirvo::PrintContent content;
    content.title = windowTitle();
    content.member.Assign(*FMember);
    content.day = FDate;
    content.settings = mirvo::EvalSettingsOf(*FOptions);
    content.evaluation = FLastEvaluation;
    content.readingSize = size();
    content.paintReading = [this](QPainter& painter) { PaintReading(painter); };
    return content;
}

namespace {

// The print preview's tool bar without the commands that a page of its own
// makes useless (going through pages, showing several), so that the print
// button is on it at the dialog's size and not behind the bar's overflow.
// The commands are found by Qt's own texts for them, in the language Qt
// shows them in.
void FitPreviewToolBar(QPrintPreviewDialog& preview)
{
    const auto qtText = [](const char* text) { return QCoreApplication::translate("QPrintPreviewDialog", text); };
    const QStringList unused = {qtText("First page"), qtText("Previous page"), qtText("Next page"),
                                qtText("Last page"), qtText("Show single page"), qtText("Show facing pages"),
                                qtText("Show overview of all pages")};
    auto* bar = preview.findChild<QToolBar*>();
    if (!bar)
        return;
    for (QAction* action : bar->actions()) {
        const QWidget* field = bar->widgetForAction(action);
        // The page number and its count stand between the page commands (the zoom is a combo box).
        const bool pageNumber = field && !qobject_cast<const QComboBox*>(field) && field->findChild<QLineEdit*>();
        if (unused.contains(action->text()) || pageNumber)
            action->setVisible(false);
    }
    // One separator between the groups that are left.
    const QAction* last = nullptr;
    for (QAction* action : bar->actions()) {
        if (action->isSeparator() && last && last->isSeparator())
            action->setVisible(false);
        if (action->isVisible())
            last = action;
    }
}

} // namespace

void TTodayMirvo::ShowPrintPreview()
{
    QPrinter printer(QPrinter::HighResolution);
    mirvo::PreparePrinter(printer);
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName("dlgPrintPreview");  // F1 there opens the page on printing
    preview.setWindowTitle(Q(mirvo::LoadStr(mirvo::kTextPrintPreview)));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* target) {
        // Qt writes a PDF itself: it is never let through another user's link or over their file.
        if (!target->outputFileName().isEmpty()) {
            try {
                mirvo::CheckWriteAllowed(mirvo::PathFromQ(target->outputFileName()));
            } catch (const koyomi::EMirvoError& e) {
                ReportError(Q(e.what()));
                return;
            }
        }
        mirvo::PrintPage(*target, PrintContentOf());
    });
    FitPreviewToolBar(preview);
    // Large enough to read: three quarters of the screen's height, as wide
    // as an upright page needs beside the tool bar and at least as wide as
    // the tool bar, the whole page in view.
    if (const QScreen* shown = screen()) {
        const QRect area = shown->availableGeometry();
        const int height = area.height() * kPreviewHeightPercent / 100;
        int width = height * kPreviewWidthPercentOfHeight / 100;
        if (const auto* bar = preview.findChild<QToolBar*>()) {
            const QMargins around = preview.layout() ? preview.layout()->contentsMargins() : QMargins();
            width = std::max(width, bar->sizeHint().width() + around.left() + around.right());
        }
        preview.resize(std::min(area.width(), width), height);
        mirvo::KeepOnScreen(preview);
    }
    if (auto* page = preview.findChild<QPrintPreviewWidget*>()) {
        page->setZoomMode(QPrintPreviewWidget::FitInView);
        page->fitInView();
    }
    preview.exec();
}
