// The settings window: the member list with its edit area and member files on
// the first tab, the biorhythm cycle lengths and the body weights and use
// flags on the second. It works on its own copies of the settings, the
// member list and the current member; the main window takes them back after
// OK.
#pragma once

#include "members/backups.h"
#include "members/memberlist.h"
#include "members/options.h"

#include <QDialog>
#include <QString>

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

class QAbstractButton;
class QAction;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QResizeEvent;
class QTreeWidgetItem;

namespace Ui {
class TTodayMirvoOption;
}

namespace mirvo {

// Columns of the member list, in display order.
enum TMemberColumn : int {
    mcName = 0, mcSex, mcBirthDate, mcBirthTime, mcTimeState, mcMemo,
};
constexpr int kMemberColumnCount = 6;

// Compares two member rows for sorting by `key`: key = (column + 1) times the
// direction (+1 ascending, -1 descending), column 0-5. Names, sex marks,
// time-state marks and memos compare byte by byte in Shift-JIS, with a-z
// taken as A-Z and a text before any longer text it starts; dates
// ("yyyy/mm/dd") and times ("hh:nn") by value. Negative, zero or positive.
int CompareRows(const QTreeWidgetItem& row1, const QTreeWidgetItem& row2, int key);

} // namespace mirvo

class TTodayMirvoOption final : public QDialog {
    Q_OBJECT
public:
    // Button tags.
    enum ButtonTag {
        btOK = 10, btCancel = 11, btHelp = 12,
        btUserClear = 100, btAdd = 110, btStore = 111, btDelete = 112,
        btBioDefault = 200, btPlanetDefault = 210,
    };
    // Pop-up menu tags of the member list.
    enum MenuTag { mtSelAll = 10, mtSelRev = 11, mtLoadFromFile = 20, mtSaveToFile = 21, mtRestoreBackup = 22 };

    // `programFolder` is where member files are looked for when LastFolder
    // does not exist.
    explicit TTodayMirvoOption(const std::filesystem::path& programFolder, QWidget* parent = nullptr);
    ~TTodayMirvoOption() override;

    // The window's copies, filled by the owner before ShowSettings and taken
    // back after OK.
    mirvo::TMirvoOptions& Options() { return *FOptions; }
    mirvo::TMemberList& Members() { return *FMembers; }
    mirvo::TMemberListItem& CurrentMember() { return *FCurrentMember; }

    // Fills the rows and the fields from the three copies.
    void ShowSettings();

    // Asks for a member file to read or write, starting in `initialFolder`;
    // returns the chosen path, or the empty text when the user cancels. The
    // standard file dialogs by default; tests put their own choice here.
    using FileChooser = std::function<QString(QWidget* parent, const QString& initialFolder)>;
    void SetOpenFileChooser(FileChooser chooser) { FChooseOpenFile = std::move(chooser); }
    void SetSaveFileChooser(FileChooser chooser) { FChooseSaveFile = std::move(chooser); }

    // The member list's file, whose earlier versions 以前のメンバーリストに戻す offers.
    void SetMemberFile(const std::filesystem::path& file) { FMemberFile = file; }

    // The member a row stands for (a member of Members()), or null for a row
    // of another list.
    static mirvo::TMemberListItem* RowMember(const QTreeWidgetItem* row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormCreate();
    // The member editor (formoptionmembers.cpp).
    void SetUpMemberList();
    QTreeWidgetItem* AddRow(mirvo::TMemberListItem& member);
    void FillRow(QTreeWidgetItem& row, const mirvo::TMemberListItem& member) const;
    void ShowMember(const mirvo::TMemberListItem& member);
    void ClearMember();
    void AppendMember();
    void StoreMember();
    void DeleteMembers();
    // False when a field cannot be taken: the window stays open, the caret in that field.
    bool CommitMember();
    void SelectAllRows();
    void InvertSelection();
    void LoadMemberFile();
    void SaveMemberFile();
    void RebuildRows();
    // Each column as wide as its head and its widest value.
    void FitColumns();
    // The edit area's title for the member named `name`.
    void ShowMemberCaption(const std::string& name);
    void lstMemberClick();
    void lstMemberColumnClick(int column);
    void chkTimeClick(bool checked);
    // Edit-area readings.
    int SexFromFields() const;
    koyomi::TDateTime BirthdayFromFields() const;
    // Shows why the name or memo cannot be kept in a member file; false when it can.
    bool RefuseUnsavableText(QWidget* owner);
    // Whether the fields hold a member that can be added or stored (told when not).
    bool FieldsCanBeTaken();
    QTreeWidgetItem* FirstSelectedRow() const;
    void SortRows(int key);
    QString InitialFolder() const;

    // The method tab (formoptionmethod.cpp).
    void SetUpMethodTab();
    void ShowMethodSettings();
    void SetBioDefaults();
    void SetPlanetDefaults();
    void TextBioPlanetOnChange(const QString& text);
    void CheckPlanetOnChange(bool checked);

    // The window's buttons and menu commands.
    void ButtonOnClick();
    void MenuItemClick();
    void ShowHelpContents();
    void ShowError(const QString& message);
    // Names, tab order and keys for keyboard and screen-reader users (formoptionaccess.cpp).
    void CreateAccessibility();
    // The list's file commands on the 「ファイル」 button and Delete in the list (formoptionaccess.cpp).
    void SetUpListKeys();

    // Guards against losing or silently changing a member (formoptionguard.cpp).
    enum LoadChoice { lcUseRead, lcAddRead, lcKeepList };
    void SetUpGuards();
    bool SexGroupEvent(QObject* watched, QEvent* event);
    void KeepSexFocusOnChoice();
    bool CyclesAreValid();
    bool RefuseFutureBirthday();
    bool ConfirmStoreOver(const mirvo::TMemberListItem& rowMember);
    bool ConfirmDeleteAll(int count);
    // OK with a name typed that no member of the list has: asks whether the
    // person joins the list. False when the user cancels (the window stays open).
    bool OfferToAddAtOK();
    LoadChoice AskLoadChoice(const std::filesystem::path& file, const std::string& problems, int read, int had);
    bool ConfirmReplaceFile(const std::filesystem::path& file);
    void RestoreBackup();

    std::unique_ptr<Ui::TTodayMirvoOption> ui;
    std::unique_ptr<mirvo::TMemberListItem> FCurrentMember;
    std::unique_ptr<mirvo::TMemberList> FMembers;
    std::unique_ptr<mirvo::TMirvoOptions> FOptions;
    std::array<QLineEdit*, mirvo::kCycleCount> FBioEdits{};
    std::array<QLineEdit*, mirvo::kPlanetCount> FPlanetEdits{};
    std::array<QCheckBox*, mirvo::kPlanetCount> FPlanetChecks{};
    std::array<std::int8_t, mirvo::kMemberColumnCount> FSortDirection{};
    QButtonGroup* FSexButtons = nullptr;
    std::filesystem::path FProgramFolder;
    FileChooser FChooseOpenFile;
    FileChooser FChooseSaveFile;
    std::filesystem::path FMemberFile;
    QAction* mniRestoreBackup = nullptr;
    // The layout's sizes, from which the window grows: the extra room goes to the member list.
    QSize FDesignSize;
    QSize FDesignTabSize;
    QSize FDesignListSize;
    int FDesignHelpLeft = 0;
    // Rows are being rebuilt, sorted or deleted: the current row's changes are not the user's.
    bool FRowsChanging = false;
    // Every member was deleted, after the user said so: OK with the empty fields is no mistake.
    bool FEmptiedByDelete = false;
};
