// The main window: the day being shown, the member being shown, the menu of
// commands, and the whole daily reading.
#pragma once

#include "koyomi/datetime.h"
#include "members/memberlist.h"
#include "members/options.h"
#include "reading/verdict.h"
#include "start/membersaveretry.h"
#include "start/programpaths.h"
#include "views/picturefile.h"
#include "views/printpage.h"

#include <QMessageBox>
#include <QWidget>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;

namespace mirvo {
class TAccessibleGroup;
class TAnimateWindow;
class THTMLhelpRouter;
class TMirvoLabel;
}

namespace Ui {
class TTodayMirvo;
}

class TTodayMirvo final : public QWidget {
    Q_OBJECT
public:
    // Menu command tags.
    enum Command {
        cmdToday = 100,
        cmdPreDay = 101,
        cmdNextDay = 102,
        cmdGoToDay = 103,
        cmdOption = 200,
        cmdInfo = 201,
        cmdMonth = 202,
        cmdSavePicture = 203,
        cmdPrint = 204,
        cmdPair = 205,
        cmdAutostart = 210,
        cmdContents = 300,
        cmdAbout = 301,
        cmdMemberFirst = 400,  // 400 + index: show that member of the list
        cmdMemberLast = 499,
        cmdClose = 999,
    };

    // `startMember`: the member to show at start instead of the default one,
    // by name or index as mirvo-today's --member takes it; it becomes the
    // default member. A key that names no member leaves the default one.
    explicit TTodayMirvo(const mirvo::ProgramPaths& paths, QWidget* parent = nullptr,
                         std::optional<std::string> startMember = std::nullopt);
    ~TTodayMirvo() override;

    // Runs the evaluation for the shown member and day (the detail window calls it).
    void Reevaluate();
    void ShowEvaluation(const mirvo::TMemberListItem& member, koyomi::TDateTime date);
    QString MakeTitle(const mirvo::TMemberListItem& member) const;
    // Carries out the menu command with this tag; unknown tags do nothing.
    void RunCommand(int tag);
    // Makes `day` the shown day and evaluates it (the month window's choices).
    void ShowDay(koyomi::TDateTime day);
    // Paints the window's area (date, chart, faces, figures, advice) with its
    // top left corner at the origin, as the window shows it.
    void PaintReading(QPainter& painter);
    // What the printed page holds: the member, the day and its reading.
    mirvo::PrintContent PrintContentOf();
    // How the picture's file is chosen (the save dialog by default); tests put their own in.
    void SetFileChooser(mirvo::SaveFileChooser chooser) { FChooseFile = std::move(chooser); }
    // How a member file is chosen when the member list cannot be saved where it is (the save dialog by default).
    void SetMemberFileChooser(mirvo::SaveFileChooser chooser) { FChooseMemberFile = std::move(chooser); }
    // The member file this run saves to: Mirvo.csv, or the file the list went
    // to when that could not be written.
    const std::filesystem::path& MemberFile() const { return FMemberFile; }

    const mirvo::TMemberListItem& Member() const { return *FMember; }
    const mirvo::TMemberList& MemberList() const { return *FMemberList; }
    const mirvo::TMirvoOptions& Options() const { return *FOptions; }
    koyomi::TDateTime Date() const { return FDate; }
    const mirvo::Evaluation& LastEvaluation() const { return FLastEvaluation; }
    QMenu* Menu() const { return mnuMenu; }
    QMenu* MemberMenu() const { return mniMember; }

    // How errors are shown (the standard error box by default); tests record them.
    using ErrorReporter = std::function<void(const QString& message)>;
    void SetErrorReporter(ErrorReporter reporter) { FReportError = std::move(reporter); }

    // Shows the member at `index` of the list and makes it the default
    // member saved at exit; an index outside the list does nothing.
    void ShowMember(int index);

    // The settings window hands its copies back after OK.
    void TakeSettings(const mirvo::TMirvoOptions& options, const mirvo::TMemberList& members,
                      const mirvo::TMemberListItem& current);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Saves the member list and the settings while the window is still there
    // to own the questions a failed save asks.
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormDestroy();
    void MenuItemOnClick();
    void CreateMenu();
    void FillMemberMenu();
    void ToggleAutostart();
    void ShowAutostartState();
    void ApplyLayoutProperties();
    void FitAdviceLabel();
    void ChooseMember();
    void ShowDate();
    void ShowOptionWindow();
    void ShowInfoWindow();
    void ShowVersionDialog();
    void ShowMonthWindow();
    void ShowPairWindow();
    void SavePicture();
    void ShowPrintPreview();
    void ReportError(const QString& message) const;
    // Saving, after OK in the settings window and at exit. A member list that
    // cannot be written offers 名前を付けて保存, then the place to save instead;
    // the program never ends with the list unsaved unless the user says so.
    void SaveFiles(mirvo::TSaveMoment moment);
    bool SaveMemberList(mirvo::TSaveMoment moment);
    // The box of a failed save (名前を付けて保存, the place to save instead, キャンセル).
    mirvo::TSaveFailedAnswer AskAfterFailedSave(const std::string& message, bool offerInstead);
    void SaveSettingsFile();
    // The files that cannot be written, told at start with where the list goes instead.
    std::vector<std::string> UnwritableFileWarnings() const;
    // Where the list goes when its file cannot be written, best first.
    std::vector<std::filesystem::path> PlacesToSaveInstead() const;
    // A line for the log file, which the next start and the user can read.
    void LogNotice(const std::string& message) const;
    // Screen readers and the keyboard (formmainaccess.cpp). The interfaces
    // are installed before any widget of the window exists.
    static void InstallAccessibility();
    void CreateAccessibility();
    void ShowAccessibleReading(double dayCount);
    void ShowMenuFromKeyboard();
    // The welcome shown while the list is empty (formmainwelcome.cpp).
    void CreateWelcome();
    void ShowWelcome();
    // What happened to the files (lines not read, copies kept), in a box of its own.
    void ReportNotice(const QString& caption, const QString& message, QMessageBox::Icon icon);
    bool objHTMLhelpRouterHelp(quint16 command, quintptr data, bool& callHelp);

    std::unique_ptr<Ui::TTodayMirvo> ui;
    mirvo::ProgramPaths FPaths;
    std::optional<std::string> FStartMember;
    std::unique_ptr<mirvo::TMemberListItem> FMember;
    std::unique_ptr<mirvo::TMemberList> FMemberList;
    std::unique_ptr<mirvo::TMirvoOptions> FOptions;
    std::array<mirvo::TMirvoLabel*, mirvo::kAxisCount> FFaceLabels{};
    std::array<mirvo::TMirvoLabel*, mirvo::kAxisCount> FBioLabels{};
    std::array<mirvo::TMirvoLabel*, mirvo::kAxisCount> FStarLabels{};
    std::array<mirvo::TMirvoLabel*, mirvo::kAxisCount> FRateLabels{};
    // Each axis row as one element for screen readers.
    std::array<mirvo::TAccessibleGroup*, mirvo::kAxisCount> FAxisRows{};
    koyomi::TDateTime FDate = 0;
    mirvo::Evaluation FLastEvaluation;
    ErrorReporter FReportError;
    mirvo::SaveFileChooser FChooseFile;
    mirvo::SaveFileChooser FChooseMemberFile;
    std::filesystem::path FMemberFile;
    // The user deleted every member: the next save leaves an empty member file.
    bool FListEmptiedByUser = false;
    bool FSavedAtClose = false;
    // The two members the 相性 window was last closed with.
    std::unique_ptr<std::pair<mirvo::TMemberListItem, mirvo::TMemberListItem>> FLastPair;
    bool FDestroyed = false;
    QWidget* FWelcome = nullptr;

    mirvo::TAnimateWindow* objAnimateWindow = nullptr;
    mirvo::THTMLhelpRouter* objHTMLhelpRouter = nullptr;
    QMenu* mnuMenu = nullptr;
    QAction* mniToday = nullptr;
    QAction* mniPreDay = nullptr;
    QAction* mniNextDay = nullptr;
    QAction* mniGoToDay = nullptr;
    QAction* mniOption = nullptr;
    QAction* mniInfo = nullptr;
    QAction* mniMonth = nullptr;
    QAction* mniPair = nullptr;
    QAction* mniSavePicture = nullptr;
    QAction* mniPrint = nullptr;
    QMenu* mniMember = nullptr;           // one radio item per member of the list (the first 100)
    QActionGroup* FMemberItems = nullptr;
    QAction* mniAutostart = nullptr;       // the login notification, on while its autostart entry exists
    QAction* mniContents = nullptr;
    QAction* mniAbout = nullptr;
    QAction* mniClose = nullptr;
};

// The main window, for the life of the program.
extern TTodayMirvo* TodayMirvo;
