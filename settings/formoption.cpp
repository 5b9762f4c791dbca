// The settings window itself: its frame, buttons and menu commands, the
// focus rule of its edit fields and the filling of both tabs. The member
// editor is in formoptionmembers.cpp, the method tab in formoptionmethod.cpp.
#include "settings/formoption.h"

#include "base/messages.h"
#include "base/stringtable.h"
#include "components/fonts.h"
#include "components/japanese.h"
#include "components/qtext.h"
#include "components/windowslook.h"
#include "help/apphelp.h"
#include "help/helpcommands.h"
#include "settings/formoptionparts.h"
#include "ui_formoption.h"
#include "version/appinfo.h"

#include <QButtonGroup>
#include <QEvent>
#include <QFileDialog>
#include <QResizeEvent>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>

namespace fs = std::filesystem;
using mirvo::Q;
using mirvo::optionwindow::Tag;

namespace {

constexpr int kFontPixels = 12;
const char* const kMemberFileSuffix = "csv";

// The standard file dialog for member files.
QString ChooseMemberFile(QWidget* parent, const QString& initialFolder, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, QString(), initialFolder, Q(mirvo::LoadStr(mirvo::kTextMemberFileFilter)));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString::fromUtf8(kMemberFileSuffix));
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    mirvo::JapaneseFileList(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

TTodayMirvoOption::TTodayMirvoOption(const fs::path& programFolder, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TTodayMirvoOption>()), FProgramFolder(programFolder)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    // The layout's size is the smallest; a larger window gives the member list more rows and room.
    FDesignSize = size();
    FDesignTabSize = ui->pnlTab->size();
    FDesignListSize = ui->lstMember->size();
    FDesignHelpLeft = ui->btnHelp->x();
    setMinimumSize(size());
    setFont(mirvo::WindowsFont(mirvo::kFaceMSPGothic, kFontPixels));
    ui->btnOK->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    ui->btnCancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    ui->btnHelp->setIcon(mirvo::HelpIcon());

    FSexButtons = new QButtonGroup(this);
    for (QRadioButton* item : {ui->radSexNone, ui->radSexMale, ui->radSexFemale})
        FSexButtons->addButton(item, Tag(item));

    FChooseOpenFile = [](QWidget* owner, const QString& folder) {
        return ChooseMemberFile(owner, folder, QFileDialog::AcceptOpen);
    };
    FChooseSaveFile = [](QWidget* owner, const QString& folder) {
        return ChooseMemberFile(owner, folder, QFileDialog::AcceptSave);
    };

    SetUpMemberList();
    for (QPushButton* button : {ui->btnOK, ui->btnHelp, ui->btnUserClear, ui->btnAdd, ui->btnStore, ui->btnDelete,
                                ui->btnBioDefault, ui->btnPlanetDefault})
        connect(button, &QPushButton::clicked, this, &TTodayMirvoOption::ButtonOnClick);
    connect(ui->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    for (QAction* item : {ui->mniSelAll, ui->mniSelRev, ui->mniLoadFromFile, ui->mniSaveToFile})
        connect(item, &QAction::triggered, this, &TTodayMirvoOption::MenuItemClick);
    connect(ui->chkTime, &QCheckBox::toggled, this, &TTodayMirvoOption::chkTimeClick);

    FormCreate();
    SetUpGuards();
    SetUpListKeys();

    // Centred on the screen, not on the owner.
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

TTodayMirvoOption::~TTodayMirvoOption() = default;

void TTodayMirvoOption::FormCreate()
{
    FCurrentMember = std::make_unique<mirvo::TMemberListItem>();
    FMembers = std::make_unique<mirvo::TMemberList>();
    FOptions = std::make_unique<mirvo::TMirvoOptions>();
    FSortDirection.fill(1);
    setWindowTitle(Q(mirvo::AppFileDescription()) + windowTitle());
    for (QLineEdit* edit : {ui->txtName, ui->txtMemo})
        edit->installEventFilter(this);
    SetUpMethodTab();
    ClearMember();
    SetBioDefaults();
    SetPlanetDefaults();
    CreateAccessibility();
}

// An edit field entered from the keyboard, or holding the focus when the
// window opens, has its whole text selected; the caret then stays at the
// start, so that a long name or a number such as 0.100000001490116 still
// shows from its start.
bool TTodayMirvoOption::eventFilter(QObject* watched, QEvent* event)
{
    if (SexGroupEvent(watched, event))
        return true;
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (!edit || event->type() != QEvent::FocusIn)
        return QDialog::eventFilter(watched, event);
    static_cast<QObject*>(edit)->event(event);
    const auto length = static_cast<int>(edit->text().size());
    if (length > 0 && edit->selectedText().size() == length)
        edit->setSelection(length, -length);
    return true;
}

void TTodayMirvoOption::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    // The list takes the extra room; the OK row stays at the bottom, ヘルプ at the right.
    const QSize extra = (event->size() - FDesignSize).expandedTo(QSize(0, 0));
    ui->pnlTab->resize(FDesignTabSize + extra);
    ui->lstMember->resize(FDesignListSize + extra);
    ui->pnlButton->setGeometry(0, ui->pnlTab->height(), width(), ui->pnlButton->height());
    ui->btnHelp->move(FDesignHelpLeft + extra.width(), ui->btnHelp->y());
}

void TTodayMirvoOption::ShowSettings()
{
    bool shown = false;
    for (int i = 0; i < FMembers->Count(); ++i) {
        mirvo::TMemberListItem& member = FMembers->Items(i);
        QTreeWidgetItem* row = AddRow(member);
        if (mirvo::SameMemberData(member, *FCurrentMember)) {
            ui->lstMember->clearSelection();
            row->setSelected(true);
            ShowMember(member);
            shown = true;
        }
    }
    if (!shown)
        ShowMember(*FCurrentMember);
    FitColumns();
    ShowMethodSettings();
}

void TTodayMirvoOption::ShowHelpContents()
{
    mirvo::ApplicationHelpCommand(mirvo::HELP_CONTENTS, 0);
}

void TTodayMirvoOption::ButtonOnClick()
{
    try {
        switch (Tag(sender())) {
        case btOK:
            // A value that cannot be taken keeps the window open with the caret on it.
            if (CyclesAreValid() && CommitMember())
                accept();
            break;
        case btHelp:
            ShowHelpContents();
            break;
        case btUserClear:
            ClearMember();
            break;
        case btAdd:
            AppendMember();
            break;
        case btStore:
            StoreMember();
            break;
        case btDelete:
            DeleteMembers();
            break;
        case btBioDefault:
            SetBioDefaults();
            break;
        case btPlanetDefault:
            SetPlanetDefaults();
            break;
        default:
            break;
        }
    } catch (const std::exception& e) {
        ShowError(Q(e.what()));
    }
}

void TTodayMirvoOption::MenuItemClick()
{
    switch (Tag(sender())) {
    case mtSelAll:
        SelectAllRows();
        break;
    case mtSelRev:
        InvertSelection();
        break;
    case mtLoadFromFile:
        LoadMemberFile();
        break;
    case mtSaveToFile:
        SaveMemberFile();
        break;
    case mtRestoreBackup:
        RestoreBackup();
        break;
    default:
        break;
    }
}

void TTodayMirvoOption::ShowError(const QString& message)
{
    QMessageBox::critical(this, Q(mirvo::AppFileDescription()), message);
}
