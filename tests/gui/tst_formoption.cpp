// The settings window: member rows, sorting, the edit area, member files, the
// number edits, and what the main window gets back after OK or Cancel.
#include "app/formmain.h"
#include "base/sjis.h"
#include "base/wholefile.h"
#include "components/qtext.h"
#include "help/apphelp.h"
#include "help/helpcommands.h"
#include "koyomi/datetime.h"
#include "members/backups.h"
#include "modalwatch.h"
#include "settings/formoption.h"
#include "settings/restorebackup.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <chrono>
#include <fstream>

using testing_gui::Child;
using testing_gui::TMessageBoxWatch;
using testing_gui::WhenActiveModal;

using mirvo::Q;

namespace {

// A path as the program names it in its messages: with the system's separators.
QString Shown(const std::filesystem::path& path)
{
    return QDir::toNativeSeparators(Q(path.string()));
}

struct Person {
    const char* name;
    int sex;
    int year, month, day, hour, minute;
    bool timeKnown;
    const char* memo;
};

koyomi::TDateTime Born(const Person& p)
{
    return koyomi::EncodeDate(p.year, p.month, p.day) + koyomi::EncodeTime(p.hour, p.minute, 0);
}

void AddPeople(mirvo::TMemberList& list, std::initializer_list<Person> people)
{
    for (const Person& p : people)
        list.AddMember(p.name, static_cast<std::int8_t>(p.sex), Born(p), p.timeKnown, p.memo);
}

// Five members, in this order in the list.
const std::initializer_list<Person> kFive = {
    {"Hana", 2, 1970, 1, 2, 12, 0, false, ""},
    {"山田太郎", 1, 1985, 6, 15, 8, 30, true, "メモ"},
    {"Ken", 1, 2001, 11, 30, 12, 0, false, ""},
    {"abc", 0, 1999, 3, 3, 23, 10, true, "z"},
    {"Ａ子", 2, 1960, 12, 24, 6, 45, true, "a"},
};

void WriteFile(const std::filesystem::path& p, const std::string& utf8)
{
    std::ofstream out(p, std::ios::binary);
    out << *koyomi::Utf8ToCp932(utf8);
}

QTreeWidget* List(const QWidget& w)
{
    return Child<QTreeWidget>(w, "lstMember");
}

QStringList Column(const QWidget& w, int column)
{
    QStringList texts;
    for (int i = 0; i < List(w)->topLevelItemCount(); ++i)
        texts << List(w)->topLevelItem(i)->text(column);
    return texts;
}

QList<int> SelectedRows(const QWidget& w)
{
    QList<int> rows;
    for (int i = 0; i < List(w)->topLevelItemCount(); ++i)
        if (List(w)->topLevelItem(i)->isSelected())
            rows << i;
    return rows;
}

void Click(QWidget& w, const char* button)
{
    QTest::mouseClick(Child<QPushButton>(w, button), Qt::LeftButton);
}

void ClickRow(QWidget& w, int row, Qt::KeyboardModifiers modifiers = {})
{
    QTreeWidget* list = List(w);
    list->scrollToItem(list->topLevelItem(row));  // as the user scrolls to it
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                      list->visualItemRect(list->topLevelItem(row)).center());
}

void ClickColumnHead(QWidget& w, int column)
{
    QHeaderView* header = List(w)->header();
    const QPoint middle(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
}

void Type(QWidget& w, const char* edit, const QString& text)
{
    auto* line = Child<QLineEdit>(w, edit);
    line->selectAll();
    QTest::keyClick(line, Qt::Key_Delete);
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii) {
        QTest::keyClicks(line, text);
    } else {
        // Japanese arrives from the input method as committed text.
        QInputMethodEvent input;
        input.setCommitString(text);
        QApplication::sendEvent(line, &input);
    }
}

const char* const kWeightEdits[] = {"txtSun", "txtMoon", "txtMercury", "txtVenus", "txtMars",
                                    "txtJupiter", "txtSaturn", "txtUranus", "txtNeputune", "txtPuluto"};
const char* const kUseChecks[] = {"chkSun", "chkMoon", "chkMercury", "chkVenus", "chkMars",
                                  "chkJupiter", "chkSaturn", "chkUranus", "chkNeptune", "chkPuluto"};

mirvo::ProgramPaths PathsIn(const QTemporaryDir& dir)
{
    mirvo::ProgramPaths paths;
    paths.programFile = std::filesystem::path(dir.path().toStdString()) / "TodayMirvo";
    return paths;
}

// Opens the settings window from the main window's menu and runs `steps` on
// it; `steps` must close it. False when the window never came up.
bool RunSettingsWindow(TTodayMirvo& main, std::function<void(TTodayMirvoOption&)> steps)
{
    QObject context;
    bool ran = false;
    WhenActiveModal<TTodayMirvoOption>(&context, [&](TTodayMirvoOption& w) {
        steps(w);
        ran = true;
    });
    main.RunCommand(TTodayMirvo::cmdOption);
    return ran;
}

// Answers every message box that comes up while it lives: keeps its text and
// presses the button `press` names: "No", or a button's object name; Yes (or
// the only button) otherwise.
class TBoxAnswers final : public QObject {
public:
    explicit TBoxAnswers(QString press = {}) : FPress(std::move(press)) { Arm(); }
    QStringList texts;
    QString FPress;

private:
    void Arm()
    {
        QTimer::singleShot(testing_gui::kPollMilliseconds, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts << box->text();
                QAbstractButton* chosen = box->button(FPress == "No" ? QMessageBox::No : QMessageBox::Yes);
                for (QAbstractButton* b : box->buttons())
                    if (!FPress.isEmpty() && b->objectName() == FPress)
                        chosen = b;
                if (!chosen)
                    chosen = box->buttons().value(0);
                chosen->click();
            }
            Arm();
        });
    }
};

// The members of a member file on disk, by name.
QStringList NamesIn(const std::filesystem::path& file)
{
    mirvo::TMemberList list;
    mirvo::TMemberFileReport report;
    list.LoadFromCsv(file, report);
    QStringList names;
    for (int i = 0; i < list.Count(); ++i)
        names << Q(list.Items(i).Name);
    return names;
}

// Every name in the member file and in all its backups.
QSet<QString> NamesKept(const std::filesystem::path& file)
{
    QSet<QString> names;
    for (const QString& n : NamesIn(file))
        names << n;
    for (const mirvo::TBackupFile& copy : mirvo::ListBackups(file))
        for (const QString& n : NamesIn(copy.path))
            names << n;
    return names;
}

const char* const kThree = "\"Hana\",2,1970/01/02,12:00:00,0,\"\"\r\n"
                           "\"山田太郎\",1,1985/06/15,08:30:00,1,\"メモ\"\r\n"
                           "\"Ken\",1,2001/11/30,12:00:00,0,\"\"\r\n";

} // namespace

class TestFormOption : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void rowsShowTheMembersAndSelectTheCurrentOne();
    void sortingByColumnClicks();
    void textColumnsCompareAsShiftJis();
    void okWithANameOnAnEmptyListAddsTheMember();
    void okWithANameNotInTheListOffersToAddIt();
    void okAfterClearWithoutANameKeepsTheClearedMember();
    void deleteKeepsTheUnselectedRowsAndShowsTheNextOne();
    void addTwiceAndUpdateInPlaceAfterSorting();
    void textTheMemberFileCannotHoldIsRefused();
    void selectionCommandsByShortcut();
    void fileCommandsFromTheFileButton();
    void windowGrowsWithTheListAndShowsWholeValues();
    void memberAreaTitleFollowsTheFields();
    void numbersOfTheEdits_data();
    void numbersOfTheEdits();
    void defaultButtonsAndUseFlags();
    void helpButtonAsksForTheContents();
    void memberFileWithABadDateKeepsRowsAndMembersInStep();
    void savingAMemberFile();
    void savingBackAPartlyReadFileKeepsTheOriginal();
    void weightsTakeEffectInTheEvaluationAfterOK();
    void cancelAfterReadingAFileChangesNothing();
    void okRecomputesTheDefaultMember();
    void editFieldsShowTheirTextFromItsStart();
    void loadingAFileWithLinesNotReadAsksWhatToKeep();
    void keyboardSelectionLoadsTheRowAndUpdateNamesWhomItReplaces();
    void deletingEveryMemberAndOKKeepsAnEmptyList();
    void sexGroupKeysSelectAsOnWindows();
    void impossibleCyclesAndBirthDatesAreRefused();
    void restoringAKeptListBringsItsMembersBack();

private:
    std::unique_ptr<TTodayMirvoOption> MakeWindow(std::initializer_list<Person> people, int current = -1);
    QTemporaryDir FDir;
};

void TestFormOption::initTestCase()
{
    QVERIFY(FDir.isValid());
    QVERIFY2(testing_gui::LoadDataFile(), "Kosmera.dat is built beside the program");
}

// A shown window holding `people`, showing member `current` (-1: an anonymous one).
std::unique_ptr<TTodayMirvoOption> TestFormOption::MakeWindow(std::initializer_list<Person> people, int current)
{
    auto w = std::make_unique<TTodayMirvoOption>(FDir.path().toStdString());
    AddPeople(w->Members(), people);
    if (current >= 0)
        w->CurrentMember().Assign(w->Members().Items(current));
    w->ShowSettings();
    w->show();
    return w;
}

void TestFormOption::rowsShowTheMembersAndSelectTheCurrentOne()
{
    auto w = MakeWindow(kFive, 1);
    QCOMPARE(w->windowTitle(), QString("今日のミルボの設定"));
    QCOMPARE(Column(*w, 0), QStringList({"Hana", "山田太郎", "Ken", "abc", "Ａ子"}));
    const QTreeWidgetItem* row = List(*w)->topLevelItem(1);
    QCOMPARE(QStringList({row->text(1), row->text(2), row->text(3), row->text(4), row->text(5)}),
             QStringList({"男", "1985/06/15", "08:30", "確", "メモ"}));
    QCOMPARE(SelectedRows(*w), QList<int>{1});
    QCOMPARE(Child<QLineEdit>(*w, "txtName")->text(), QString("山田太郎"));
    QCOMPARE(Child<QDateTimeEdit>(*w, "edtDate")->date(), QDate(1985, 6, 15));
    QCOMPARE(Child<QDateTimeEdit>(*w, "edtTime")->time(), QTime(8, 30, 0));
    QVERIFY(Child<QDateTimeEdit>(*w, "edtTime")->isEnabled());

    // A current member that is not in the list: shown, no row selected.
    auto other = std::make_unique<TTodayMirvoOption>(FDir.path().toStdString());
    AddPeople(other->Members(), kFive);
    AddPeople(other->Members(), {{"Hana", 2, 1970, 1, 2, 12, 0, false, ""}});
    other->CurrentMember().Name = "Nobody";
    other->ShowSettings();
    QVERIFY(SelectedRows(*other).isEmpty());
    QCOMPARE(Child<QLineEdit>(*other, "txtName")->text(), QString("Nobody"));
    // Several equal members: the last one is selected.
    other->CurrentMember().Assign(other->Members().Items(0));
    List(*other)->clear();
    other->ShowSettings();
    QCOMPARE(SelectedRows(*other), QList<int>{5});
}

void TestFormOption::sortingByColumnClicks()
{
    auto w = MakeWindow(kFive, 2);
    ClickColumnHead(*w, mirvo::mcBirthDate);
    QCOMPARE(Column(*w, 2), QStringList({"2001/11/30", "1999/03/03", "1985/06/15", "1970/01/02", "1960/12/24"}));
    ClickColumnHead(*w, mirvo::mcBirthDate);
    QCOMPARE(Column(*w, 2), QStringList({"1960/12/24", "1970/01/02", "1985/06/15", "1999/03/03", "2001/11/30"}));
    // Another column starts with its own first click: descending.
    ClickColumnHead(*w, mirvo::mcBirthTime);
    QCOMPARE(Column(*w, 3), QStringList({"23:10", "12:00", "12:00", "08:30", "06:45"}));
    ClickColumnHead(*w, mirvo::mcSex);
    QCOMPARE(Column(*w, 1), QStringList({"無", "男", "男", "女", "女"}));
    ClickColumnHead(*w, mirvo::mcTimeState);
    QCOMPARE(Column(*w, 4), QStringList({"不", "不", "確", "確", "確"}));
    // The selection follows its row; the list itself keeps its order.
    QCOMPARE(SelectedRows(*w).size(), 1);
    QCOMPARE(List(*w)->topLevelItem(SelectedRows(*w)[0])->text(0), QString("Ken"));
    QCOMPARE(Q(w->Members().Items(0).Name), QString("Hana"));
    for (int i = 0; i < List(*w)->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = List(*w)->topLevelItem(i);
        QCOMPARE(Q(TTodayMirvoOption::RowMember(row)->Name), row->text(0));
    }
}

void TestFormOption::textColumnsCompareAsShiftJis()
{
    auto w = MakeWindow(kFive);
    // Descending, then ascending. Shift-JIS puts the fullwidth "Ａ" (0x8260)
    // before hiragana and kanji, and a-z compare as A-Z: "abc" < "Hana".
    ClickColumnHead(*w, mirvo::mcName);
    QCOMPARE(Column(*w, 0), QStringList({"山田太郎", "Ａ子", "Ken", "Hana", "abc"}));
    ClickColumnHead(*w, mirvo::mcName);
    QCOMPARE(Column(*w, 0), QStringList({"abc", "Hana", "Ken", "Ａ子", "山田太郎"}));

    QTreeWidgetItem shorter(QStringList{"Ab"});
    QTreeWidgetItem longer(QStringList{"aBc"});
    QVERIFY(mirvo::CompareRows(shorter, longer, 1) < 0);
    QVERIFY(mirvo::CompareRows(shorter, longer, -1) > 0);
}

void TestFormOption::okWithANameOnAnEmptyListAddsTheMember()
{
    auto w = MakeWindow({});
    Type(*w, "txtName", "花子");
    Click(*w, "btnOK");
    QCOMPARE(w->result(), int(QDialog::Accepted));
    QCOMPARE(w->Members().Count(), 1);
    QCOMPARE(Q(w->Members().Items(0).Name), QString("花子"));
    QCOMPARE(Q(w->CurrentMember().Name), QString("花子"));
    // The anonymous member shown at first was born now: the date is today's.
    QCOMPARE(koyomi::DateToFileText(w->CurrentMember().Birthday), koyomi::DateToFileText(koyomi::Now()));
    QVERIFY(!w->CurrentMember().TimeKnown);
    QVERIFY(mirvo::SameMemberData(w->CurrentMember(), w->Members().Items(0)));
}

// OK with a name that no member has asks whether the person joins the list.
void TestFormOption::okWithANameNotInTheListOffersToAddIt()
{
    for (const QString press : {"btnCancelAdd", "btnDontAdd", "btnAddToList"}) {
        auto w = MakeWindow(kFive, 1);
        w->show();
        Type(*w, "txtName", "新人");
        TBoxAnswers boxes(press);
        Click(*w, "btnOK");
        QTRY_COMPARE(boxes.texts.size(), 1);
        QCOMPARE(boxes.texts[0], QString("新人 さんは一覧にいません. 一覧に追加しますか?\n"
                                         "追加しないときは, この人の鑑定を今回だけ表示します (次の起動では一覧の人に戻ります)."));
        if (press == "btnCancelAdd") {
            QVERIFY(w->isVisible());
            QCOMPARE(Q(w->CurrentMember().Name), QString("山田太郎"));
            QCOMPARE(w->Members().Count(), 5);
            continue;
        }
        QCOMPARE(w->result(), int(QDialog::Accepted));
        QCOMPARE(Q(w->CurrentMember().Name), QString("新人"));
        QCOMPARE(w->Members().Count(), press == "btnAddToList" ? 6 : 5);
        QCOMPARE(Q(w->Members().Items(w->Members().Count() - 1).Name), press == "btnAddToList" ? QString("新人") : QString("Ａ子"));
    }
    // A name the list has asks nothing.
    auto w = MakeWindow(kFive, 1);
    TMessageBoxWatch boxes;
    Type(*w, "txtName", "Ken");
    Click(*w, "btnOK");
    QVERIFY(boxes.texts.isEmpty());
    QCOMPARE(w->result(), int(QDialog::Accepted));
}

void TestFormOption::okAfterClearWithoutANameKeepsTheClearedMember()
{
    auto w = MakeWindow(kFive, 1);
    const koyomi::TDateTime before = koyomi::Now();
    Click(*w, "btnUserClear");
    const koyomi::TDateTime after = koyomi::Now();
    QVERIFY(Child<QLineEdit>(*w, "txtName")->text().isEmpty());
    QVERIFY(!Child<QDateTimeEdit>(*w, "edtTime")->isEnabled());
    QCOMPARE(Child<QDateTimeEdit>(*w, "edtTime")->time(), QTime(12, 0, 0));
    TMessageBoxWatch boxes;
    Click(*w, "btnOK");
    QCOMPARE(boxes.texts, QStringList({"氏名が入力されていないと登録できません.."}));
    QCOMPARE(w->result(), int(QDialog::Accepted));
    QVERIFY(w->CurrentMember().Name.empty());
    QVERIFY(w->CurrentMember().Birthday >= before && w->CurrentMember().Birthday <= after);
    QCOMPARE(w->Members().Count(), 5);
}

void TestFormOption::deleteKeepsTheUnselectedRowsAndShowsTheNextOne()
{
    auto w = MakeWindow(kFive);
    ClickRow(*w, 1);
    ClickRow(*w, 3, Qt::ControlModifier);
    QCOMPARE(SelectedRows(*w), QList<int>({1, 3}));
    Click(*w, "btnDelete");
    QCOMPARE(Column(*w, 0), QStringList({"Hana", "Ken", "Ａ子"}));
    QCOMPARE(w->Members().Count(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(TTodayMirvoOption::RowMember(List(*w)->topLevelItem(i)), &w->Members().Items(i));
    QCOMPARE(Child<QLineEdit>(*w, "txtName")->text(), QString("Ken"));
    QCOMPARE(Q(w->CurrentMember().Name), QString("Ken"));
    QVERIFY(SelectedRows(*w).isEmpty());

    // Deleting every row clears the edit area.
    Click(*w, "btnDelete");  // nothing selected: nothing happens
    QCOMPARE(w->Members().Count(), 3);
    List(*w)->selectAll();
    {
        TBoxAnswers no("No");
        Click(*w, "btnDelete");
        QCOMPARE(no.texts.size(), 1);
        QVERIFY2(no.texts[0].startsWith("3 人のメンバーを全て削除しますか?"), qPrintable(no.texts[0]));
    }
    QCOMPARE(w->Members().Count(), 3);
    TBoxAnswers yes;
    Click(*w, "btnDelete");
    QCOMPARE(w->Members().Count(), 0);
    QVERIFY(Child<QLineEdit>(*w, "txtName")->text().isEmpty());
}

void TestFormOption::addTwiceAndUpdateInPlaceAfterSorting()
{
    auto w = MakeWindow(kFive, 0);
    TMessageBoxWatch boxes;
    Click(*w, "btnAdd");
    Click(*w, "btnAdd");
    QCOMPARE(w->Members().Count(), 7);
    QCOMPARE(Column(*w, 0).count("Hana"), 3);
    QCOMPARE(SelectedRows(*w), QList<int>{6});
    QCOMPARE(w->Members().Items(6).RowIndex, 6);
    QVERIFY(mirvo::SameMemberData(w->Members().Items(6), w->Members().Items(0)));

    ClickColumnHead(*w, mirvo::mcBirthDate);  // newest first
    ClickRow(*w, 0);
    QCOMPARE(Child<QLineEdit>(*w, "txtName")->text(), QString("Ken"));
    Type(*w, "txtName", "Kenji");
    Type(*w, "txtMemo", "更新");
    Child<QCheckBox>(*w, "chkTime")->click();
    Child<QDateTimeEdit>(*w, "edtTime")->setTime(QTime(7, 5, 9));
    Click(*w, "btnStore");
    QCOMPARE(List(*w)->topLevelItem(0)->text(0), QString("Kenji"));
    QCOMPARE(List(*w)->topLevelItem(0)->text(3), QString("07:05"));
    QCOMPARE(List(*w)->topLevelItem(0)->text(4), QString("確"));
    const mirvo::TMemberListItem& ken = w->Members().Items(2);
    QCOMPARE(Q(ken.Name), QString("Kenji"));
    QCOMPARE(Q(ken.Memo), QString("更新"));
    QCOMPARE(ken.Birthday, koyomi::EncodeDate(2001, 11, 30) + koyomi::EncodeTime(7, 5, 9));
    QVERIFY(ken.TimeKnown);

    // Add and Update refuse an empty name.
    Type(*w, "txtName", "");
    Click(*w, "btnAdd");
    Click(*w, "btnStore");
    QCOMPARE(boxes.texts, QStringList({"氏名は必ず入力してください.", "氏名は必ず入力してください."}));
    QCOMPARE(w->Members().Count(), 7);
    QCOMPARE(Q(w->Members().Items(2).Name), QString("Kenji"));
}

void TestFormOption::textTheMemberFileCannotHoldIsRefused()
{
    auto w = MakeWindow(kFive, 0);
    TMessageBoxWatch boxes;
    Child<QLineEdit>(*w, "txtName")->setText(QString::fromUtf8("Hana 😀"));
    Click(*w, "btnAdd");
    QCOMPARE(w->Members().Count(), 5);
    ClickRow(*w, 1);
    Type(*w, "txtMemo", QString::fromUtf8("한국"));
    Click(*w, "btnStore");
    QCOMPARE(Q(w->Members().Items(1).Memo), QString("メモ"));
    QCOMPARE(List(*w)->topLevelItem(1)->text(5), QString("メモ"));
    Child<QLineEdit>(*w, "txtMemo")->setText("two\nlines");
    Click(*w, "btnStore");
    QCOMPARE(boxes.texts.size(), 3);
    QVERIFY(boxes.texts[0].startsWith("氏名: ") && boxes.texts[0].contains(QString::fromUtf8("😀")));
    QVERIFY(boxes.texts[1].startsWith("メモ: ") && boxes.texts[1].contains("한"));
    QVERIFY(boxes.texts[2].startsWith("メモ: "));
    QCOMPARE(Q(w->Members().Items(1).Memo), QString("メモ"));
    // OK with such a name leaves the current member and the list as they
    // were, and the window open with the caret in the field and the text kept.
    QApplication::setActiveWindow(w.get());
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    Child<QLineEdit>(*w, "txtName")->setText(QString::fromUtf8("Hana 😀"));
    Child<QLineEdit>(*w, "txtMemo")->setFocus();
    Click(*w, "btnOK");
    QCOMPARE(boxes.texts.size(), 4);
    QCOMPARE(Q(w->CurrentMember().Name), QString("山田太郎"));
    QVERIFY(w->isVisible());
    QCOMPARE(w->result(), int(QDialog::Rejected));
    QCOMPARE(w->focusWidget(), Child<QLineEdit>(*w, "txtName"));
    QCOMPARE(Child<QLineEdit>(*w, "txtName")->text(), QString::fromUtf8("Hana 😀"));
    Child<QLineEdit>(*w, "txtName")->setText(QString::fromUtf8("😀"));
    // So the list can always be written.
    QVERIFY(w->Members().SaveToCsv(std::filesystem::path(FDir.path().toStdString()) / "refused.csv"));
}

void TestFormOption::selectionCommandsByShortcut()
{
    auto w = MakeWindow(kFive, 1);
    QApplication::setActiveWindow(w.get());
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    List(*w)->setFocus();
    QTest::keyClick(List(*w), Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(SelectedRows(*w), QList<int>({0, 2, 3, 4}));
    QTest::keyClick(List(*w), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(SelectedRows(*w), QList<int>({0, 1, 2, 3, 4}));
    QTest::keyClick(List(*w), Qt::Key_R, Qt::ControlModifier);
    QVERIFY(SelectedRows(*w).isEmpty());

    // Delete in the list deletes the selected members, asking only when every one would go.
    ClickRow(*w, 1);
    QTest::keyClick(List(*w), Qt::Key_Delete);
    QCOMPARE(Column(*w, 0), QStringList({"Hana", "Ken", "abc", "Ａ子"}));
    QCOMPARE(w->Members().Count(), 4);
    QTest::keyClick(List(*w), Qt::Key_A, Qt::ControlModifier);
    {
        TBoxAnswers no("No");
        QTest::keyClick(List(*w), Qt::Key_Delete);
        QCOMPARE(no.texts.size(), 1);
        QVERIFY2(no.texts[0].startsWith("4 人のメンバーを全て削除しますか?"), qPrintable(no.texts[0]));
    }
    QCOMPARE(w->Members().Count(), 4);
}

void TestFormOption::fileCommandsFromTheFileButton()
{
    auto w = MakeWindow(kFive, 1);
    QApplication::setActiveWindow(w.get());
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    QStringList asked;
    w->SetOpenFileChooser([&](QWidget*, const QString&) {
        asked << "open";
        return QString();
    });
    w->SetSaveFileChooser([&](QWidget*, const QString&) {
        asked << "save";
        return QString();
    });
    auto* button = Child<QPushButton>(*w, "btnFile");
    QVERIFY(button->menu());
    QStringList commands;
    for (QAction* action : button->menu()->actions())
        commands << action->objectName();
    QCOMPARE(commands, QStringList({"mniLoadFromFile", "mniSaveToFile", "mniRestoreBackup"}));
    // Alt+F opens its menu; O there reads a member file.
    QTimer::singleShot(testing_gui::kPollMilliseconds, w.get(), [] {
        if (QWidget* menu = QApplication::activePopupWidget())
            QTest::keyClick(menu, Qt::Key_O);
    });
    QTest::keyClick(w.get(), Qt::Key_F, Qt::AltModifier);
    QTRY_COMPARE(asked, QStringList({"open"}));
}

void TestFormOption::windowGrowsWithTheListAndShowsWholeValues()
{
    auto w = MakeWindow(kFive, 1);
    AddPeople(w->Members(), {{"長い名前の人がここにいます", 1, 1985, 4, 15, 8, 30, true,
                              "メモの欄に入りきらないほど長いメモを書いておきます"}});
    List(*w)->clear();
    w->ShowSettings();
    // The layout's size is the smallest; the window can be made larger and maximized.
    QCOMPARE(w->minimumSize(), QSize(402, 390));
    QVERIFY(w->windowFlags() & Qt::WindowMaximizeButtonHint);
    const QSize listBefore = List(*w)->size();
    w->resize(640, 560);
    QCOMPARE(List(*w)->size(), listBefore + QSize(238, 170));
    auto* ok = Child<QPushButton>(*w, "btnOK");
    auto* help = Child<QPushButton>(*w, "btnHelp");
    QCOMPARE(ok->mapTo(w.get(), QPoint(0, ok->height())).y(), 560 - 6);
    QCOMPARE(help->mapTo(w.get(), QPoint(help->width(), 0)).x(), 640 - 9);
    // Every head and every value whole in its column.
    QTreeWidget* list = List(*w);
    const QFontMetrics metrics = list->fontMetrics();
    for (int c = 0; c < mirvo::kMemberColumnCount; ++c) {
        const int room = list->header()->sectionSize(c);
        const QString head = list->headerItem()->text(c);
        QVERIFY2(list->header()->fontMetrics().horizontalAdvance(head) < room, qPrintable(head));
        for (int r = 0; r < list->topLevelItemCount(); ++r) {
            const QString value = list->topLevelItem(r)->text(c);
            QVERIFY2(metrics.horizontalAdvance(value) < room, qPrintable(value));
        }
    }
}

void TestFormOption::memberAreaTitleFollowsTheFields()
{
    auto w = MakeWindow({});
    auto* group = Child<QGroupBox>(*w, "grpUser");
    QCOMPARE(group->title(), QString("新しいメンバーの情報"));
    Type(*w, "txtName", "Taro");
    Click(*w, "btnAdd");
    QCOMPARE(group->title(), QString("Taroさんの情報"));
    Click(*w, "btnUserClear");
    QCOMPARE(group->title(), QString("新しいメンバーの情報"));
    ClickRow(*w, 0);
    QCOMPARE(group->title(), QString("Taroさんの情報"));
}

void TestFormOption::numbersOfTheEdits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("cycle");
    QTest::addColumn<float>("weight");
    QTest::newRow("letters") << "abc" << 0.0f << 0.0f;
    QTest::newRow("empty") << "" << 0.0f << 0.0f;
    QTest::newRow("whole") << " 28" << 28.0f << 28.0f;
    QTest::newRow("full-width whole") << "２３" << 23.0f << 23.0f;
    QTest::newRow("decimal") << "1.5" << 0.0f << 1.5f;
    QTest::newRow("full-width decimal") << "１．５" << 0.0f << 1.5f;
    QTest::newRow("full-width minus") << "－２" << 0.0f << -2.0f;
    QTest::newRow("leading blanks") << "  2.5" << 0.0f << 2.5f;
    QTest::newRow("trailing blank") << "2.5 " << 0.0f << 2.5f;
    QTest::newRow("negative exponent") << "-2.5E-1" << 0.0f << -0.25f;
    QTest::newRow("decimal comma") << "1,5" << 0.0f << 0.0f;
    QTest::newRow("full-width comma") << "１，５" << 0.0f << 0.0f;
    QTest::newRow("past the weights") << "1e10" << 0.0f << 0.0f;
    QTest::newRow("below the weights") << "-1e10" << 0.0f << 0.0f;
    QTest::newRow("beyond double precision") << "1e400" << 0.0f << 0.0f;
    QTest::newRow("inf") << "inf" << 0.0f << 0.0f;
    QTest::newRow("nan") << "nan" << 0.0f << 0.0f;
}

void TestFormOption::numbersOfTheEdits()
{
    QFETCH(QString, text);
    QFETCH(float, cycle);
    QFETCH(float, weight);
    auto w = MakeWindow({});
    for (int n = 0; n < mirvo::kPlanetCount; ++n) {
        Type(*w, kWeightEdits[n], text);
        QCOMPARE(w->Options().PlanetWeight[n], weight);
    }
    const char* const bioEdits[] = {"txtHealth", "txtFeel", "txtIntell"};
    for (int i = 0; i < mirvo::kCycleCount; ++i) {
        Type(*w, bioEdits[i], text);
        QCOMPARE(w->Options().BioCycle[i], cycle);
    }
}

void TestFormOption::defaultButtonsAndUseFlags()
{
    auto w = std::make_unique<TTodayMirvoOption>(FDir.path().toStdString());
    w->Options().BioCycle = {1, 2, 3};
    w->Options().PlanetWeight.fill(0.1f);
    w->Options().PlanetUse.fill(false);
    w->ShowSettings();
    w->show();
    QCOMPARE(Child<QLineEdit>(*w, "txtSun")->text(), QString("0.100000001490116"));
    QCOMPARE(w->Options().PlanetWeight[0], 0.1f);
    QVERIFY(!Child<QCheckBox>(*w, "chkSun")->isChecked());
    Child<QCheckBox>(*w, "chkNeptune")->click();
    QVERIFY(w->Options().PlanetUse[8]);
    Click(*w, "btnBioDefault");
    QCOMPARE(w->Options().BioCycle, mirvo::kDefaultBioCycle);
    QCOMPARE(Child<QLineEdit>(*w, "txtFeel")->text(), QString("28"));
    Click(*w, "btnPlanetDefault");
    QCOMPARE(w->Options().PlanetWeight, mirvo::kDefaultPlanetWeight);
    QCOMPARE(w->Options().PlanetUse, mirvo::kDefaultPlanetUse);
    QVERIFY(!Child<QCheckBox>(*w, "chkNeptune")->isChecked());
}

void TestFormOption::helpButtonAsksForTheContents()
{
    QList<quint16> commands;
    QList<quintptr> data;
    const mirvo::THelpEvent previous = mirvo::GetApplicationOnHelp();
    mirvo::SetApplicationOnHelp([&](quint16 command, quintptr d, bool& callHelp) {
        commands << command;
        data << d;
        callHelp = false;
        return true;
    });
    auto w = MakeWindow({});
    Click(*w, "btnHelp");
    mirvo::SetApplicationOnHelp(previous);
    QCOMPARE(commands, QList<quint16>{mirvo::HELP_CONTENTS});
    QCOMPARE(data, QList<quintptr>{0});
    QVERIFY(w->isVisible());
}

void TestFormOption::memberFileWithABadDateKeepsRowsAndMembersInStep()
{
    const std::filesystem::path folder = std::filesystem::path(FDir.path().toStdString()) / "bad";
    std::filesystem::create_directories(folder);
    const auto file = folder / "members.csv";
    WriteFile(file, "\"一郎\",1,1980/01/01,12:00:00,0,\"\"\r\n"
                    "\"二郎\",1,1981/02/02,12:00:00,0,\"\"\r\n"
                    "\"三郎\",1,1982/13/03,12:00:00,0,\"\"\r\n"
                    "\"四郎\",1,1983/04/04,12:00:00,0,\"\"\r\n");
    auto w = MakeWindow(kFive, 0);
    w->Options().LastFolder = "/nowhere/";
    QString offeredFolder;
    w->SetOpenFileChooser([&](QWidget*, const QString& initial) {
        offeredFolder = initial;
        return QString::fromStdString(file.string());
    });
    TBoxAnswers boxes("btnUseRead");
    Child<QAction>(*w, "mniLoadFromFile")->trigger();
    QCOMPARE(offeredFolder, FDir.path());  // LastFolder does not exist: the program's folder
    // One box names the line that was not read; the lines after it are read.
    QCOMPARE(boxes.texts.size(), 1);
    const QStringList lines = boxes.texts[0].split('\n');
    QCOMPARE(lines.value(0), Shown(file) + " の 3 行目は読んでいません: '1982/13/03' は日付ではありません");
    QVERIFY2(!boxes.texts[0].contains("4 行目"), qPrintable(boxes.texts[0]));
    QCOMPARE(lines.last(), Shown(file) + " から読めたのは 3 人です (今の一覧は 5 人). どうしますか?");
    QCOMPARE(w->Members().Count(), 3);
    QCOMPARE(Column(*w, 0), QStringList({"一郎", "二郎", "四郎"}));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(TTodayMirvoOption::RowMember(List(*w)->topLevelItem(i)), &w->Members().Items(i));
    QCOMPARE(std::filesystem::path(w->Options().LastFolder), folder / "");
    // The rows are usable: a click shows a member that is still there.
    ClickRow(*w, 1);
    QCOMPARE(Q(w->CurrentMember().Name), QString("二郎"));
}

void TestFormOption::savingAMemberFile()
{
    // Folders named in Japanese, given as Qt's dialog gives them (with "/");
    // the program names them as the system does ("\\" on Windows).
    const QString chosenFolder = FDir.path() + "/山田/ミルボ資料";
    QVERIFY(QDir().mkpath(chosenFolder));
    const std::filesystem::path folder = koyomi::PathFromUtf8(chosenFolder.toStdString());
    auto w = MakeWindow(kFive, 0);
    w->SetSaveFileChooser([&](QWidget*, const QString&) { return chosenFolder + "/family"; });
    Child<QAction>(*w, "mniSaveToFile")->trigger();
    QVERIFY(QFile::exists(chosenFolder + "/family.csv"));
    QCOMPARE(Q(w->Options().LastFolder), QDir::toNativeSeparators(chosenFolder + "/"));
    mirvo::TMemberList back;
    QVERIFY(back.LoadFromCsv(folder / "family.csv"));
    QCOMPARE(back.Count(), 5);
    QCOMPARE(Q(back.Items(1).Name), QString("山田太郎"));

    // Saving over it asks first; No leaves it, Yes keeps it in the backup folder.
    w->Members().Delete(0);
    {
        TBoxAnswers no("No");
        Child<QAction>(*w, "mniSaveToFile")->trigger();
        QCOMPARE(no.texts.size(), 1);
        QVERIFY2(no.texts[0].startsWith(QDir::toNativeSeparators(chosenFolder + "/family.csv")
                                        + " はすでにあります. 置き換えますか?"),
                 qPrintable(no.texts[0]));
    }
    QCOMPARE(NamesIn(folder / "family.csv").size(), 5);
    {
        TBoxAnswers yes;
        Child<QAction>(*w, "mniSaveToFile")->trigger();
    }
    QCOMPARE(NamesIn(folder / "family.csv"), QStringList({"山田太郎", "Ken", "abc", "Ａ子"}));
    QCOMPARE(mirvo::ListBackups(folder / "family.csv", true).size(), std::size_t(1));
    QCOMPARE(mirvo::ListBackups(folder / "family.csv", true)[0].members, 5);

    // A file that cannot be created: the message, and LastFolder stays.
    w->SetSaveFileChooser([&](QWidget*, const QString&) { return QString::fromStdString((folder / "no/such/x.csv").string()); });
    w->Options().LastFolder = "/kept/";
    TMessageBoxWatch boxes;
    Child<QAction>(*w, "mniSaveToFile")->trigger();
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY(boxes.texts[0].contains("x.csv"));
    QCOMPARE(w->Options().LastFolder, std::string("/kept/"));
}

void TestFormOption::savingBackAPartlyReadFileKeepsTheOriginal()
{
    // A line without its closing quote between two good ones: read, saved
    // back to the same file from the menu.
    const std::filesystem::path folder = std::filesystem::path(FDir.path().toStdString()) / "partly";
    std::filesystem::create_directories(folder);
    const auto file = folder / "members.csv";
    const std::string original = "\"一郎\",1,1980/01/01,12:00:00,0,\"\"\r\n"
                                 "\"二郎,1,1981/02/02,12:00:00,0,\"\"\r\n"
                                 "\"三郎\",1,1982/03/03,12:00:00,0,\"\"\r\n";
    WriteFile(file, original);
    auto w = MakeWindow(kFive, 0);
    w->SetOpenFileChooser([&](QWidget*, const QString&) { return QString::fromStdString(file.string()); });
    w->SetSaveFileChooser([&](QWidget*, const QString&) { return QString::fromStdString(file.string()); });
    TBoxAnswers boxes("btnUseRead");
    Child<QAction>(*w, "mniLoadFromFile")->trigger();
    QCOMPARE(Column(*w, 0), QStringList({"一郎", "三郎"}));
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY2(boxes.texts[0].startsWith(Shown(file) + " の 2 行目は読んでいません: 引用符 (\") が閉じていません"),
             qPrintable(boxes.texts[0]));
    Child<QAction>(*w, "mniSaveToFile")->trigger();
    // Asked first, naming the folder where the original, with the line that
    // was not read, is kept; one copy only, none beside the file.
    QCOMPARE(boxes.texts.size(), 2);
    QVERIFY2(boxes.texts[1].contains("はすでにあります. 置き換えますか?")
                 && boxes.texts[1].contains(Shown(folder / "backup")),
             qPrintable(boxes.texts[1]));
    const std::vector<mirvo::TBackupFile> copies = mirvo::ListBackups(file);
    QCOMPARE(copies.size(), std::size_t(1));
    QVERIFY(mirvo::ReadWholeFile(copies[0].path) == koyomi::Utf8ToCp932(original));
    QVERIFY(!std::filesystem::exists(folder / "members.csv.bak"));
    mirvo::TMemberList back;
    QVERIFY(back.LoadFromCsv(file));
    QCOMPARE(back.Count(), 2);
}

void TestFormOption::weightsTakeEffectInTheEvaluationAfterOK()
{
    QTemporaryDir dir;
    const mirvo::ProgramPaths paths = PathsIn(dir);
    WriteFile(paths.MemberFile(), "\"Hana\",2,1970/01/02,12:00:00,0,\"\"\r\n");
    TTodayMirvo main(paths);
    const auto typeWeights = [](const QString& text) {
        return [text](TTodayMirvoOption& w) {
            Child<QTabWidget>(w, "pnlTab")->setCurrentIndex(1);
            // Every body on, so that every weight shows in the totals.
            for (const char* check : kUseChecks)
                Child<QCheckBox>(w, check)->setChecked(true);
            for (const char* edit : kWeightEdits)
                Type(w, edit, text);
            Click(w, "btnOK");
        };
    };
    mirvo::EvalSettings settings;
    settings.planetUse.fill(true);

    // A weight that is no number is refused in the field's words; the window stays, Cancel changes nothing.
    QStringList refused;
    QVERIFY(RunSettingsWindow(main, [&](TTodayMirvoOption& w) {
        TBoxAnswers boxes;
        Child<QTabWidget>(w, "pnlTab")->setCurrentIndex(1);
        Type(w, "txtMoon", "abc");
        Click(w, "btnOK");
        refused = boxes.texts;
        QCOMPARE(w.focusWidget(), Child<QLineEdit>(w, "txtMoon"));
        Click(w, "btnCancel");
    }));
    QCOMPARE(refused, QStringList({"月の掛け率は -100 から 100 までの数で入力してください."}));
    QCOMPARE(main.Options().PlanetWeight, mirvo::kDefaultPlanetWeight);

    // Full-width, as a Japanese input method types it.
    QVERIFY(RunSettingsWindow(main, typeWeights("１．５")));
    QCOMPARE(main.Options().PlanetWeight[0], 1.5f);
    QCOMPARE(main.Options().PlanetWeight[9], 1.5f);
    settings.planetWeight.fill(1.5f);
    const mirvo::Evaluation expected = mirvo::Evaluate(main.Member().Birthday, main.Date(), settings);
    QCOMPARE(main.LastEvaluation().reading.StarScore, expected.reading.StarScore);
    QCOMPARE(main.LastEvaluation().reading.StarTotal, expected.reading.StarTotal);
    // The check means something only when some body scores.
    QVERIFY(expected.reading.StarTotal != (std::array<std::int32_t, mirvo::kAxisCount>{}));
}

void TestFormOption::cancelAfterReadingAFileChangesNothing()
{
    QTemporaryDir dir;
    const mirvo::ProgramPaths paths = PathsIn(dir);
    WriteFile(paths.MemberFile(), "\"Hana\",2,1970/01/02,12:00:00,0,\"\"\r\n"
                                  "\"山田太郎\",1,1985/06/15,08:30:00,1,\"メモ\"\r\n"
                                  "\"Ken\",1,2001/11/30,12:00:00,0,\"\"\r\n");
    const auto otherFolder = std::filesystem::path(dir.path().toStdString()) / "other";
    std::filesystem::create_directories(otherFolder);
    WriteFile(otherFolder / "two.csv", "\"X\",0,1990/01/01,12:00:00,0,\"\"\r\n\"Y\",0,1991/01/01,12:00:00,0,\"\"\r\n");
    TTodayMirvo main(paths);
    const std::string lastFolder = main.Options().LastFolder;
    mirvo::TMemberListItem member;
    member.Assign(main.Member());
    int rowsAfterLoading = 0;
    std::string folderAfterLoading;
    QVERIFY(RunSettingsWindow(main, [&](TTodayMirvoOption& w) {
        w.SetOpenFileChooser([&](QWidget*, const QString&) { return QString::fromStdString((otherFolder / "two.csv").string()); });
        Child<QAction>(w, "mniLoadFromFile")->trigger();
        rowsAfterLoading = List(w)->topLevelItemCount();
        folderAfterLoading = w.Options().LastFolder;
        ClickRow(w, 1);
        Click(w, "btnCancel");
    }));
    QCOMPARE(rowsAfterLoading, 2);
    QCOMPARE(std::filesystem::path(folderAfterLoading), otherFolder / "");
    QCOMPARE(main.MemberList().Count(), 3);
    QCOMPARE(Q(main.MemberList().Items(1).Name), QString("山田太郎"));
    QVERIFY(mirvo::SameMemberData(main.Member(), member));
    QCOMPARE(main.Options().LastFolder, lastFolder);
    QVERIFY(main.findChildren<TTodayMirvoOption*>().isEmpty());
}

void TestFormOption::okRecomputesTheDefaultMember()
{
    QTemporaryDir dir;
    const mirvo::ProgramPaths paths = PathsIn(dir);
    WriteFile(paths.MemberFile(), "\"Hana\",2,1970/01/02,12:00:00,0,\"\"\r\n"
                                  "\"山田太郎\",1,1985/06/15,08:30:00,1,\"メモ\"\r\n"
                                  "\"Ken\",1,2001/11/30,12:00:00,0,\"\"\r\n");
    TTodayMirvo main(paths);
    QVERIFY(RunSettingsWindow(main, [](TTodayMirvoOption& w) {
        ClickRow(w, 2);
        Click(w, "btnOK");
    }));
    QCOMPARE(Q(main.Member().Name), QString("Ken"));
    QCOMPARE(main.Options().DefaultUserIndex, 2);
    QVERIFY(main.windowTitle().endsWith("[Ken]"));

    // A shown member that is not in the list, as the user chose at OK: no default member.
    TMessageBoxWatch offer("btnDontAdd");
    QVERIFY(RunSettingsWindow(main, [](TTodayMirvoOption& w) {
        Type(w, "txtName", "Kenny");
        Click(w, "btnOK");
    }));
    QCOMPARE(offer.texts.size(), 1);
    QVERIFY2(offer.texts[0].startsWith("Kenny さんは一覧にいません."), qPrintable(offer.texts[0]));
    QCOMPARE(Q(main.Member().Name), QString("Kenny"));
    QCOMPARE(main.Options().DefaultUserIndex, -1);
    // The title says that Kenny is not in the list.
    QVERIFY2(main.windowTitle().endsWith("[Kenny] (一覧にはいません)"), qPrintable(main.windowTitle()));
    QCOMPARE(main.MemberList().Count(), 3);
    QVERIFY(main.findChildren<TTodayMirvoOption*>().isEmpty());
}

void TestFormOption::editFieldsShowTheirTextFromItsStart()
{
    // A weight of 0.1 as the settings file gives it back (single precision)
    // reads "0.1000..." in its 33-pixel field, and long names and memos
    // from their first letter.
    auto w = std::make_unique<TTodayMirvoOption>(FDir.path().toStdString());
    w->Options().PlanetWeight[0] = 0.1f;
    w->Options().BioCycle[2] = 33.3333333f;
    w->CurrentMember().Name = "寿限無寿限無五劫の擦り切れ海砂利水魚の水行末雲来末風来末";
    w->CurrentMember().Memo = std::string(200, 'm') + "end";
    w->ShowSettings();
    w->show();
    auto* sun = Child<QLineEdit>(*w, "txtSun");
    QCOMPARE(sun->text(), QString("0.100000001490116"));
    for (const char* edit : {"txtSun", "txtIntell", "txtName", "txtMemo", "txtMoon", "txtHealth"})
        QVERIFY2(Child<QLineEdit>(*w, edit)->cursorPosition() == 0, edit);
    // Entered by Tab, a field's whole text is selected and still shows from its start.
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    Child<QLineEdit>(*w, "txtSun")->setFocus(Qt::TabFocusReason);
    QCOMPARE(sun->selectedText(), sun->text());
    QCOMPARE(sun->cursorPosition(), 0);
    // Again after the defaults and after a row click.
    Child<QLineEdit>(*w, "txtSun")->setText("0.100000001490116");
    Click(*w, "btnPlanetDefault");
    Click(*w, "btnBioDefault");
    for (const char* edit : kWeightEdits)
        QVERIFY2(Child<QLineEdit>(*w, edit)->cursorPosition() == 0, edit);
    AddPeople(w->Members(), {{"長い名前の人がここにいます長い名前の人", 1, 1980, 1, 1, 12, 0, false, "長いメモ長いメモ長いメモ長いメモ長いメモ長いメモ長いメモ"}});
    List(*w)->clear();
    w->ShowSettings();
    ClickRow(*w, 0);
    QCOMPARE(Child<QLineEdit>(*w, "txtName")->cursorPosition(), 0);
    QCOMPARE(Child<QLineEdit>(*w, "txtMemo")->cursorPosition(), 0);
}

void TestFormOption::loadingAFileWithLinesNotReadAsksWhatToKeep()
{
    // A file of column names alone (no member, no line unread), and one
    // whose second line has too few fields.
    QTemporaryDir dir;
    const mirvo::ProgramPaths paths = PathsIn(dir);
    WriteFile(paths.MemberFile(), kThree);
    const auto header = std::filesystem::path(dir.path().toStdString()) / "header.csv";
    WriteFile(header, "氏名,性別,生年月日,出生時刻,時刻状態,メモ\r\n");
    const auto partly = std::filesystem::path(dir.path().toStdString()) / "partly.csv";
    WriteFile(partly, "\"Aki\",2,1990/05/05,12:00:00,0,\"\"\r\n\"Bo\",1\r\n");
    TTodayMirvo main(paths);
    QStringList rows;
    QStringList texts;
    QStringList rowsWhileAsked;
    const auto load = [&](const std::filesystem::path& file, const QString& answer) {
        return RunSettingsWindow(main, [&](TTodayMirvoOption& w) {
            w.SetOpenFileChooser([&](QWidget*, const QString&) { return Q(file.string()); });
            QObject context;
            WhenActiveModal<QMessageBox>(&context, [&](QMessageBox&) { rowsWhileAsked = Column(w, 0); });
            TBoxAnswers boxes(answer);
            Child<QAction>(w, "mniLoadFromFile")->trigger();
            rows = Column(w, 0);
            texts = boxes.texts;
            Click(w, "btnOK");
        });
    };
    // Keep: the list stays while asked and after, and so does the file.
    QVERIFY(load(header, "btnKeepList"));
    QCOMPARE(texts.size(), 1);
    QVERIFY2(texts[0].contains("1 行目は列の名前 (見出しの行) なので, メンバーとしては読まずに飛ばしました"), qPrintable(texts[0]));
    QVERIFY2(texts[0].contains(Shown(header) + " から読めたのは 0 人です (今の一覧は 3 人)"), qPrintable(texts[0]));
    QCOMPARE(rowsWhileAsked, QStringList({"Hana", "山田太郎", "Ken"}));
    QCOMPARE(rows, QStringList({"Hana", "山田太郎", "Ken"}));
    QCOMPARE(NamesIn(paths.MemberFile()), QStringList({"Hana", "山田太郎", "Ken"}));
    // Add: the members read join the list; OK writes it at once.
    QVERIFY(load(partly, "btnAddRead"));
    QVERIFY2(texts.value(0).contains("から読めたのは 1 人です (今の一覧は 3 人)"), qPrintable(texts.value(0)));
    QCOMPARE(rows, QStringList({"Hana", "山田太郎", "Ken", "Aki"}));
    QCOMPARE(NamesIn(paths.MemberFile()), QStringList({"Hana", "山田太郎", "Ken", "Aki"}));
    // Use: the list is what was read; every earlier member is still in a backup.
    QVERIFY(load(partly, "btnUseRead"));
    QCOMPARE(rows, QStringList({"Aki"}));
    QCOMPARE(NamesIn(paths.MemberFile()), QStringList({"Aki"}));
    QCOMPARE(NamesKept(paths.MemberFile()), (QSet<QString>{"Hana", "山田太郎", "Ken", "Aki"}));
}

void TestFormOption::keyboardSelectionLoadsTheRowAndUpdateNamesWhomItReplaces()
{
    auto w = MakeWindow(kFive, 0);
    QApplication::setActiveWindow(w.get());
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    List(*w)->setFocus(Qt::TabFocusReason);
    List(*w)->setCurrentItem(List(*w)->topLevelItem(0));
    QTest::keyClick(List(*w), Qt::Key_Down);
    QCOMPARE(SelectedRows(*w), QList<int>{1});
    QCOMPARE(Child<QLineEdit>(*w, "txtName")->text(), QString("山田太郎"));
    QCOMPARE(Child<QDateTimeEdit>(*w, "edtDate")->date(), QDate(1985, 6, 15));
    // Ctrl+Down moves the current row without selecting it: the fields stay.
    QTest::keyClick(List(*w), Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(List(*w)->indexOfTopLevelItem(List(*w)->currentItem()), 2);
    QCOMPARE(SelectedRows(*w), QList<int>{1});
    QCOMPARE(Child<QLineEdit>(*w, "txtName")->text(), QString("山田太郎"));
    QTest::keyClick(List(*w), Qt::Key_Up, Qt::ControlModifier);
    // Fields loaded from the row: 更新 asks nothing.
    TBoxAnswers no("No");
    Type(*w, "txtMemo", "memo2");
    Click(*w, "btnStore");
    QVERIFY(no.texts.isEmpty());
    QCOMPARE(Q(w->Members().Items(1).Memo), QString("memo2"));
    QCOMPARE(Q(w->Members().Items(1).Name), QString("山田太郎"));
    // Someone else in the fields: 更新 names both and No changes nothing.
    Click(*w, "btnUserClear");
    Type(*w, "txtName", "Other");
    Click(*w, "btnStore");
    QCOMPARE(no.texts, QStringList({"選択している行の 山田太郎 さんを, 入力欄の Other さんのデータで置き換えますか?"}));
    QCOMPARE(Q(w->Members().Items(1).Name), QString("山田太郎"));
    QCOMPARE(List(*w)->topLevelItem(1)->text(0), QString("山田太郎"));
    no.FPress.clear();  // Yes
    Click(*w, "btnStore");
    QCOMPARE(Q(w->Members().Items(1).Name), QString("Other"));
    QCOMPARE(w->Members().Count(), 5);
}

void TestFormOption::deletingEveryMemberAndOKKeepsAnEmptyList()
{
    QTemporaryDir dir;
    const mirvo::ProgramPaths paths = PathsIn(dir);
    WriteFile(paths.MemberFile(), kThree);
    {
        TTodayMirvo main(paths);
        QStringList texts;
        QVERIFY(RunSettingsWindow(main, [&](TTodayMirvoOption& w) {
            TBoxAnswers boxes;
            QApplication::setActiveWindow(&w);
            List(w)->setFocus();
            QTest::keyClick(List(w), Qt::Key_A, Qt::ControlModifier);
            Click(w, "btnDelete");
            Click(w, "btnOK");
            texts = boxes.texts;
        }));
        // Done on purpose, it ends without an error box.
        QCOMPARE(texts, QStringList({"3 人のメンバーを全て削除しますか? このまま OK を押すと, 空の一覧が保存されます (今の一覧は backup フォルダに残ります)."}));
        QCOMPARE(main.MemberList().Count(), 0);
    }
    // What the user saw after OK is what the next start finds; the members are in the backup.
    QCOMPARE(mirvo::ReadWholeFile(paths.MemberFile()), std::optional<std::string>(""));
    TTodayMirvo again(paths);
    QCOMPARE(again.MemberList().Count(), 0);
    QCOMPARE(NamesKept(paths.MemberFile()), (QSet<QString>{"Hana", "山田太郎", "Ken"}));
}

void TestFormOption::sexGroupKeysSelectAsOnWindows()
{
    auto w = MakeWindow(kFive, 4);  // Ａ子, 女性
    QApplication::setActiveWindow(w.get());
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    auto* none = Child<QRadioButton>(*w, "radSexNone");
    auto* male = Child<QRadioButton>(*w, "radSexMale");
    auto* female = Child<QRadioButton>(*w, "radSexFemale");
    Click(*w, "btnUserClear");
    QVERIFY(none->isChecked());
    // Back from the memo into the group: the focus is on the chosen item, not on 女性.
    Child<QLineEdit>(*w, "txtMemo")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), none);
    // The arrow keys choose, round the group.
    const std::pair<Qt::Key, QRadioButton*> steps[] = {
        {Qt::Key_Down, male}, {Qt::Key_Down, female}, {Qt::Key_Down, none}, {Qt::Key_Up, female}, {Qt::Key_Left, male}};
    for (const auto& [key, expected] : steps) {
        QTest::keyClick(QApplication::focusWidget(), key);
        QCOMPARE(QApplication::focusWidget(), expected);
        QVERIFY(expected->isChecked());
    }
    // The group is one tab stop: Tab leaves it, Tab from before it enters on the choice.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), Child<QLineEdit>(*w, "txtMemo"));
    Child<QCheckBox>(*w, "chkTime")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), male);
    Type(*w, "txtName", "Mika");
    Click(*w, "btnAdd");
    QCOMPARE(w->Members().Items(5).Sex, mirvo::kSexMale);
}

void TestFormOption::impossibleCyclesAndBirthDatesAreRefused()
{
    auto w = MakeWindow(kFive, 0);
    w->Options().BioCycle = mirvo::kDefaultBioCycle;
    List(*w)->clear();
    w->ShowSettings();
    QApplication::setActiveWindow(w.get());
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    TBoxAnswers boxes;
    for (const char* text : {"abc", "0", "1000", "1.5", "-3", ""}) {
        Type(*w, "txtFeel", text);
        Click(*w, "btnOK");
        QVERIFY2(w->isVisible() && w->result() != QDialog::Accepted, text);
        QCOMPARE(w->focusWidget(), Child<QLineEdit>(*w, "txtFeel"));
        QCOMPARE(Child<QTabWidget>(*w, "pnlTab")->currentIndex(), 1);
    }
    QCOMPARE(boxes.texts.size(), 6);
    QCOMPARE(QSet<QString>(boxes.texts.begin(), boxes.texts.end()),
             QSet<QString>{"感情の周期は 1 から 999 までの整数で入力してください."});
    // A weight out of range, in the words of its field.
    Type(*w, "txtFeel", "\u3000９９９");
    for (const char* text : {"abc", "1e10", "-1e10", "100.5"}) {
        Type(*w, "txtSun", text);
        Click(*w, "btnOK");
        QVERIFY2(w->isVisible() && w->result() != QDialog::Accepted, text);
        QCOMPARE(w->focusWidget(), Child<QLineEdit>(*w, "txtSun"));
    }
    QCOMPARE(boxes.texts.size(), 10);
    QCOMPARE(boxes.texts.last(), QString("太陽の掛け率は -100 から 100 までの数で入力してください."));
    boxes.texts = boxes.texts.mid(0, 6);
    Type(*w, "txtSun", "-100");
    // A birth date after today: refused by 追加, 更新 and OK, the window stays.
    const QDate tomorrow = QDate::currentDate().addDays(1);
    Child<QDateTimeEdit>(*w, "edtDate")->setDate(tomorrow);
    Click(*w, "btnAdd");
    ClickRow(*w, 0);
    Child<QDateTimeEdit>(*w, "edtDate")->setDate(tomorrow);
    Click(*w, "btnStore");
    Click(*w, "btnOK");
    QCOMPARE(boxes.texts.size(), 9);
    const QStringList dateTexts = boxes.texts.mid(6);
    QCOMPARE(QSet<QString>(dateTexts.begin(), dateTexts.end()),
             QSet<QString>{"誕生日 " + tomorrow.toString("yyyy/MM/dd") + " は今日より後です. 生まれた日を入力してください."});
    QCOMPARE(w->Members().Count(), 5);
    QCOMPARE(w->Members().Items(0).Birthday, Born(*kFive.begin()));
    QVERIFY(w->isVisible());
    // Today is a birth date.
    Child<QDateTimeEdit>(*w, "edtDate")->setDate(QDate::currentDate());
    Click(*w, "btnOK");
    QCOMPARE(w->result(), int(QDialog::Accepted));
    QCOMPARE(w->Options().BioCycle[1], 999.0f);
    QCOMPARE(w->Options().PlanetWeight[0], -100.0f);
}

void TestFormOption::restoringAKeptListBringsItsMembersBack()
{
    QTemporaryDir dir;
    const mirvo::ProgramPaths paths = PathsIn(dir);
    WriteFile(paths.MemberFile(), kThree);
    TTodayMirvo main(paths);
    // Two members deleted and OK: the file holds one, the backup three.
    QVERIFY(RunSettingsWindow(main, [](TTodayMirvoOption& w) {
        ClickRow(w, 0);
        ClickRow(w, 1, Qt::ControlModifier);
        Click(w, "btnDelete");
        Click(w, "btnOK");
    }));
    QCOMPARE(NamesIn(paths.MemberFile()), QStringList({"Ken"}));
    QStringList shown;
    QVERIFY(RunSettingsWindow(main, [&](TTodayMirvoOption& w) {
        QObject context;
        WhenActiveModal<TRestoreBackupDialog>(&context, [&](TRestoreBackupDialog& d) {
            auto* list = Child<QTreeWidget>(d, "lstBackups");
            for (int c = 0; c < TRestoreBackupDialog::rcColumnCount; ++c)
                shown << list->topLevelItem(0)->text(c);
            shown << QString::number(list->topLevelItemCount());
            Click(d, "btnRestore");
        });
        Child<QAction>(w, "mniRestoreBackup")->trigger();
        QCOMPARE(Column(w, 0), QStringList({"Hana", "山田太郎", "Ken"}));
        Click(w, "btnOK");
    }));
    // When the list was saved, its members, no unread line, the first names, the copy's file; one copy.
    QCOMPARE(shown.size(), 6);
    QVERIFY2(shown[0].startsWith(Q(koyomi::DateToFileText(koyomi::Now()))), qPrintable(shown[0]));
    QCOMPARE(shown[1], QString("3 人"));
    QCOMPARE(shown[2], QString("0"));
    QCOMPARE(shown[3], QString("Hana、山田太郎、Ken"));
    QVERIFY2(shown[4].startsWith("Mirvo-") && shown[4].endsWith(".csv"), qPrintable(shown[4]));
    QCOMPARE(shown[5], QString("1"));
    QCOMPARE(NamesIn(paths.MemberFile()), QStringList({"Hana", "山田太郎", "Ken"}));
    QCOMPARE(main.MemberList().Count(), 3);

    // A copy saved years ago with a line that cannot be read: listed with its
    // time and the count, and restoring it asks first, naming the count.
    const auto old = mirvo::BackupFolderOf(paths.MemberFile()) / "Mirvo-20200101-120000.csv";
    WriteFile(old, "\"Old1\",1,1970/01/02\r\n\"Bad\",1,1970/13/02\r\n\"Old2\",2,1971/01/02\r\n");
    const auto when = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    std::filesystem::last_write_time(old, when);
    for (const char* answer : {"No", "Yes"}) {
        shown.clear();
        TBoxAnswers asked(answer);
        QVERIFY(RunSettingsWindow(main, [&](TTodayMirvoOption& w) {
            QObject context;
            WhenActiveModal<TRestoreBackupDialog>(&context, [&](TRestoreBackupDialog& d) {
                auto* list = Child<QTreeWidget>(d, "lstBackups");
                QTreeWidgetItem* last = list->topLevelItem(list->topLevelItemCount() - 1);
                for (int c = 0; c < TRestoreBackupDialog::rcColumnCount; ++c)
                    shown << last->text(c);
                list->setCurrentItem(last);
                Click(d, "btnRestore");
            });
            Child<QAction>(w, "mniRestoreBackup")->trigger();
            Click(w, "btnOK");
        }));
        QVERIFY2(shown.value(0).startsWith(Q(koyomi::DateToFileText(koyomi::Now() - 400))), qPrintable(shown.value(0)));
        QCOMPARE(shown.value(1), QString("2 人"));
        QCOMPARE(shown.value(2), QString("1"));
        QCOMPARE(shown.value(3), QString("Old1、Old2"));
        QCOMPARE(asked.texts.size(), 1);
        QVERIFY2(asked.texts[0].contains("読めない行が 1 行あります") && asked.texts[0].contains("読めた 2 人だけ"),
                 qPrintable(asked.texts[0]));
        if (QString(answer) == "No")
            QCOMPARE(NamesIn(paths.MemberFile()), QStringList({"Hana", "山田太郎", "Ken"}));
    }
    QCOMPARE(NamesIn(paths.MemberFile()), QStringList({"Old1", "Old2"}));
}

QTEST_MAIN(TestFormOption)
#include "tst_formoption.moc"
