// What screen readers and keyboard users get: the accessibility trees of the
// main, detail and settings windows (symbols named by their meaning, each
// axis row one sentence, the chart described, the score grid cell by cell),
// the keys of the main window's menu, the settings window's tab order and
// accelerators, readable colours under a dark palette and captions that fit.
#include "app/formmain.h"
#include "base/messages.h"
#include "base/sjis.h"
#include "base/stringtable.h"
#include "components/fonts.h"
#include "components/mirvolabel.h"
#include "help/apphelp.h"
#include "help/helpcommands.h"
#include "help/helpwindow.h"
#include "modalwatch.h"
#include "settings/formoption.h"
#include "views/dialogversion.h"
#include "views/formmonth.h"
#include "views/mirvoinfo.h"
#include "views/monthview.h"
#include "views/spokentext.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <fstream>

namespace {

void WriteMembers(const std::filesystem::path& p)
{
    std::ofstream out(p, std::ios::binary);
    out << *koyomi::Utf8ToCp932("\"山田太郎\",1,1985/06/15,08:30:00,1,\"メモ\"\r\n"
                                "\"Hana\",2,1970/01/02,12:00:00,0,\"\"\r\n");
}

// Every element below `root`, depth first; fails the test on a child whose
// parent is not the element it was reached from.
QList<QAccessibleInterface*> Walk(QAccessibleInterface* root)
{
    QList<QAccessibleInterface*> all;
    QList<QAccessibleInterface*> todo{root};
    while (!todo.isEmpty()) {
        QAccessibleInterface* iface = todo.takeFirst();
        all << iface;
        for (int i = 0; i < iface->childCount(); ++i) {
            QAccessibleInterface* child = iface->child(i);
            if (!child) {
                qWarning() << "no child" << i << "of" << iface->text(QAccessible::Name);
                continue;
            }
            if (child->parent() != iface || iface->indexOfChild(child) != i)
                qWarning() << "child" << child->text(QAccessible::Name) << "does not lead back to its parent";
            else
                todo << child;
        }
    }
    return all;
}

// Does the element draw a character of a symbol font?
bool ShowsSymbol(const QAccessibleInterface* iface)
{
    if (const auto* label = qobject_cast<const mirvo::TMirvoLabel*>(iface->object()))
        return mirvo::IsSymbolFace(label->GetFontFace()) && !label->GetCaption().isEmpty();
    if (const auto* label = qobject_cast<const QLabel*>(iface->object()))
        return label->font().families().value(0) == mirvo::FamilyForFace(mirvo::kFaceWingdings)
               && !label->text().isEmpty();
    return false;
}

// The name has more than one character, none of them a symbol picture.
bool SaysWhatItMeans(const QString& name)
{
    const auto letters = name.trimmed().toUcs4();
    if (letters.size() < 2)
        return false;
    for (char32_t c : letters) {
        if ((c >= 0x2600 && c < 0x2800) || c >= 0x1F000 || (c >= 0xF000 && c < 0xF100))
            return false;
    }
    return true;
}

// Checks every symbol-showing element under `window` and that no element is
// named by a lone symbol; returns how many symbol-showing elements there
// were, -1 after a warning.
int CheckSymbolNames(QWidget& window)
{
    int symbols = 0;
    for (QAccessibleInterface* iface : Walk(QAccessible::queryAccessibleInterface(&window))) {
        // Nothing at all goes by a lone symbol.
        const QString any = iface->text(QAccessible::Name).trimmed();
        if (any.size() == 1 && !any[0].isLetterOrNumber()) {
            qWarning() << iface->object() << "is named" << any;
            return -1;
        }
        if (!ShowsSymbol(iface))
            continue;
        ++symbols;
        const QString name = iface->text(QAccessible::Name);
        if (!SaysWhatItMeans(name)) {
            qWarning() << iface->object()->objectName() << "is named" << name;
            return -1;
        }
    }
    return symbols;
}

QAccessibleInterface* Find(QWidget& window, QAccessible::Role role, const QString& objectName)
{
    for (QAccessibleInterface* iface : Walk(QAccessible::queryAccessibleInterface(&window))) {
        if (iface->role() == role && iface->object() && iface->object()->objectName() == objectName)
            return iface;
    }
    return nullptr;
}

QString Str(int id)
{
    return QString::fromStdString(mirvo::LoadStr(id));
}

// WCAG contrast ratio of two colours, 1 to 21.
double Contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a) + 0.05;
    const double lb = luminance(b) + 0.05;
    return la > lb ? la / lb : lb / la;
}

QPalette DarkPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x20, 0x20, 0x24));
    p.setColor(QPalette::WindowText, QColor(0xF0, 0xF0, 0xF0));
    p.setColor(QPalette::Base, QColor(0x14, 0x14, 0x18));
    p.setColor(QPalette::AlternateBase, QColor(0x2A, 0x2A, 0x30));
    p.setColor(QPalette::Text, QColor(0xF0, 0xF0, 0xF0));
    p.setColor(QPalette::Button, QColor(0x30, 0x30, 0x36));
    p.setColor(QPalette::ButtonText, QColor(0xF0, 0xF0, 0xF0));
    p.setColor(QPalette::Highlight, QColor(0x30, 0x80, 0xE0));
    p.setColor(QPalette::HighlightedText, Qt::white);
    return p;
}

// The text of every label, check box, radio button and push button under
// `window` against the background it is drawn on.
double WorstContrast(QWidget& window, QString& worst)
{
    double lowest = 21.0;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        // Disabled controls may be dim: nobody has to read them.
        if (!w->isVisibleTo(&window) || !w->isEnabled())
            continue;
        QColor text;
        QColor back;
        if (qobject_cast<QLabel*>(w) || qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)
            || qobject_cast<QGroupBox*>(w)) {
            text = w->palette().color(QPalette::WindowText);
            back = w->palette().color(QPalette::Window);
        } else if (qobject_cast<QPushButton*>(w)) {
            text = w->palette().color(QPalette::ButtonText);
            back = w->palette().color(QPalette::Button);
        } else if (qobject_cast<QLineEdit*>(w) || w->inherits("QAbstractScrollArea")) {
            text = w->palette().color(QPalette::Text);
            back = w->palette().color(QPalette::Base);
        } else {
            continue;
        }
        const double c = Contrast(text, back);
        if (c < lowest) {
            lowest = c;
            worst = w->objectName();
        }
    }
    return lowest;
}

// Captions wider or taller than their control, in the control's own font.
QStringList ClippedCaptions(QWidget& window)
{
    QStringList clipped;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&window) || w->objectName().startsWith("qt_"))
            continue;
        QSize needed;
        if (auto* label = qobject_cast<QLabel*>(w); label && !label->wordWrap() && label->pixmap().isNull())
            needed = label->sizeHint();
        else if (auto* button = qobject_cast<QAbstractButton*>(w))
            needed = QSize(button->fontMetrics().horizontalAdvance(button->text().remove('&')), button->fontMetrics().height());
        else
            continue;
        if (needed.width() > w->width() + 1 || w->fontMetrics().height() > w->height() + 2)
            clipped << QString("%1 %2x%3 needs %4x%5").arg(w->objectName()).arg(w->width()).arg(w->height())
                           .arg(needed.width()).arg(w->fontMetrics().height());
    }
    return clipped;
}

// Presses Alt and the accelerator letter of every visible caption of
// `window` that has one: a button must click itself, a label must move the
// focus to its field, a tab must come forward. Returns how many it pressed,
// or -1 after a warning for one that did nothing.
int PressEveryAccelerator(QWidget& window)
{
    const auto letter = [](const QString& text) -> QChar {
        for (qsizetype i = 0; i + 1 < text.size(); ++i) {
            if (text[i] == '&') {
                if (text[i + 1] != '&')
                    return text[i + 1];
                ++i;
            }
        }
        return {};
    };
    // A box answered in between (追加 without a name) may leave no window active.
    const auto press = [&](QChar c) {
        QApplication::setActiveWindow(&window);
        QTest::keyClick(&window, c.toLatin1(), Qt::AltModifier);
    };
    int pressed = 0;
    for (QTabWidget* tabs : window.findChildren<QTabWidget*>()) {
        for (int i = 0; i < tabs->count(); ++i) {
            const QChar c = letter(tabs->tabText(i));
            if (c.isNull() || !tabs->isVisible())
                continue;
            tabs->setCurrentIndex(i == 0 ? tabs->count() - 1 : 0);
            press(c);
            if (tabs->currentIndex() != i) {
                qWarning() << "Alt+" << c << "did not bring forward the tab" << tabs->tabText(i);
                return -1;
            }
            ++pressed;
        }
    }
    for (QLabel* label : window.findChildren<QLabel*>()) {
        const QChar c = letter(label->text());
        if (c.isNull() || !label->isVisible())
            continue;
        press(c);
        if (!label->buddy() || !label->buddy()->hasFocus()) {
            qWarning() << "Alt+" << c << "did not reach the field of" << label->objectName();
            return -1;
        }
        ++pressed;
    }
    // Buttons last, since a button may hide the others' page (the help window's 隠す).
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        const QChar c = letter(button->text());
        if (c.isNull() || !button->isVisible() || !button->isEnabled())
            continue;
        // A button with a menu answers its letter by opening the menu (closed again here).
        auto* push = qobject_cast<QPushButton*>(button);
        if (QMenu* menu = push ? push->menu() : nullptr) {
            QSignalSpy opened(menu, &QMenu::aboutToShow);
            const auto closer = QObject::connect(menu, &QMenu::aboutToShow, menu, [menu] {
                QTimer::singleShot(0, menu, &QMenu::close);
            });
            press(c);
            const bool shown = QTest::qWaitFor([&] { return opened.count() == 1 && !menu->isVisible(); }, 2000);
            QObject::disconnect(closer);
            if (!shown) {
                qWarning() << "Alt+" << c << "did not open the menu of" << button->objectName();
                return -1;
            }
            ++pressed;
            continue;
        }
        QSignalSpy clicked(button, &QAbstractButton::clicked);
        press(c);
        // A button answers its letter by clicking itself as a mouse does, a moment later.
        if (!QTest::qWaitFor([&] { return clicked.count() == 1; }, 2000)) {
            qWarning() << "Alt+" << c << "did not click" << button->objectName();
            return -1;
        }
        ++pressed;
    }
    return pressed;
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void mainWindowNamesItsSymbolsAndReadsRowsAsSentences();
    void mainWindowNamesFollowTheDay();
    void mainWindowMenuFromTheKeyboard_data();
    void mainWindowMenuFromTheKeyboard();
    void detailWindowNamesTheSignAndEveryScoreCell();
    void monthWindowReadsEveryDay();
    void settingsWindowNamesItsFields();
    void settingsWindowTabOrder();
    void settingsWindowAcceleratorsReachTheirControls();
    void helpWindowAcceleratorsAndTheAccessibilityPage();
    void windowsReadableWithADarkPalette();
    void captionsFitTheirControls();

private:
    mirvo::ProgramPaths Paths() const
    {
        mirvo::ProgramPaths paths;
        paths.programFile = std::filesystem::path(FDir.path().toStdString()) / "TodayMirvo";
        return paths;
    }
    QTemporaryDir FDir;
};

void TestAccessibility::initTestCase()
{
    QVERIFY(FDir.isValid());
    QVERIFY2(testing_gui::LoadDataFile(), "Kosmera.dat is built beside the program");
    WriteMembers(Paths().MemberFile());
}

void TestAccessibility::mainWindowNamesItsSymbolsAndReadsRowsAsSentences()
{
    TTodayMirvo w(Paths());
    w.show();
    // The three faces and the heart: every one found in the tree and named.
    QCOMPARE(CheckSymbolNames(w), 4);
    const QStringList faceNames = {Str(mirvo::kSpokenFaceNames), Str(mirvo::kSpokenFaceNames + 2),
                                   Str(mirvo::kSpokenFaceNames + 3)};
    for (const char* face : {"labFaceHealth", "labFaceFeel", "labFaceIntell"}) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w.findChild<QWidget*>(face));
        QVERIFY2(faceNames.contains(iface->text(QAccessible::Name)), face);
        QCOMPARE(iface->role(), QAccessible::StaticText);
    }
    QCOMPARE(Find(w, QAccessible::StaticText, "labBio")->text(QAccessible::Name), QString("バイオリズム"));
    QCOMPARE(Find(w, QAccessible::StaticText, "labStar")->text(QAccessible::Name), QString("星の得点"));

    // Each axis row: one element whose name holds percent, total and rating,
    // with the row's labels as its children.
    const mirvo::Evaluation& e = w.LastEvaluation();
    const char* rows[] = {"rowHealth", "rowFeel", "rowIntell"};
    const char* axisNames[] = {"健康", "感情", "知性"};
    for (int k = 0; k < mirvo::kAxisCount; ++k) {
        QAccessibleInterface* row = Find(w, QAccessible::Grouping, rows[k]);
        QVERIFY2(row, rows[k]);
        const QString name = row->text(QAccessible::Name);
        QVERIFY2(name.startsWith(QString(axisNames[k]) + ": "), qPrintable(name));
        QVERIFY2(name.contains(QString(", %1 パーセント").arg(e.reading.BioPercent[k])), qPrintable(name));
        QVERIFY2(name.contains(QString("星 %1 点").arg(e.reading.StarTotal[k])), qPrintable(name));
        QVERIFY2(name.endsWith(Str(mirvo::RatingId(e.verdict.axes[k].rating))), qPrintable(name));
        QVERIFY2(name.contains(QString::fromStdString(mirvo::FaceWord(e.verdict.axes[k].face))), qPrintable(name));
        QCOMPARE(row->childCount(), 5);
        QCOMPARE(row->child(0)->text(QAccessible::Name), QString(axisNames[k]));
        QCOMPARE(row->child(2)->text(QAccessible::Name), QString("%1%").arg(e.reading.BioPercent[k]));
        QVERIFY(row->rect().contains(row->child(4)->rect()));
    }

    // The chart: a chart with the three percents and a direction per curve.
    QAccessibleInterface* chart = Find(w, QAccessible::Chart, "imgBio");
    QVERIFY(chart);
    QCOMPARE(chart->text(QAccessible::Name), QString("バイオリズムのグラフ"));
    const QString description = chart->text(QAccessible::Description);
    const QStringList directions = {Str(mirvo::kSpokenDirections), Str(mirvo::kSpokenDirections + 1),
                                    Str(mirvo::kSpokenDirections + 2), Str(mirvo::kSpokenDirections + 3)};
    for (int k = 0; k < mirvo::kAxisCount; ++k) {
        const QString part = QString("%1 %2 パーセント, ").arg(axisNames[k]).arg(e.reading.BioPercent[k]);
        const qsizetype at = description.indexOf(part);
        QVERIFY2(at >= 0, qPrintable(description));
        const QString rest = description.mid(at + part.size());
        QVERIFY2(std::any_of(directions.begin(), directions.end(), [&](const QString& d) { return rest.startsWith(d); }),
                 qPrintable(description));
    }
    // The window's children in reading order: the heads before the rows under them.
    QStringList order;
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&w);
    for (int i = 0; i < window->childCount(); ++i)
        order << window->child(i)->object()->objectName();
    qsizetype last = -1;
    for (const char* name : {"labDate", "imgBio", "labBio", "labStar", "rowHealth", "rowFeel", "rowIntell", "labMessage"}) {
        QVERIFY2(order.indexOf(name) > last, qPrintable(order.join(' ')));
        last = order.indexOf(name);
    }
    // The window tells the whole reading; the backdrop is not in the way.
    QVERIFY(QAccessible::queryAccessibleInterface(&w)->text(QAccessible::Description).contains(
        Find(w, QAccessible::Grouping, "rowFeel")->text(QAccessible::Name)));
    for (QAccessibleInterface* iface : Walk(QAccessible::queryAccessibleInterface(&w)))
        QVERIFY(iface->object() != w.findChild<QWidget*>("imgBack"));
}

void TestAccessibility::mainWindowNamesFollowTheDay()
{
    TTodayMirvo w(Paths());
    w.show();
    QAccessibleInterface* row = Find(w, QAccessible::Grouping, "rowHealth");
    QAccessibleInterface* chart = Find(w, QAccessible::Chart, "imgBio");
    QStringList sentences;
    QStringList charts;
    // Over a whole health cycle every face shows at least once.
    QSet<QString> faces;
    for (int day = 0; day < 23; ++day) {
        w.RunCommand(TTodayMirvo::cmdNextDay);
        const mirvo::Evaluation& e = w.LastEvaluation();
        QVERIFY(row->text(QAccessible::Name).contains(QString("%1 パーセント").arg(e.reading.BioPercent[0])));
        sentences << row->text(QAccessible::Name);
        charts << chart->text(QAccessible::Description);
        faces << QAccessible::queryAccessibleInterface(w.findChild<QWidget*>("labFaceHealth"))->text(QAccessible::Name);
        QCOMPARE(CheckSymbolNames(w), 4);
    }
    QCOMPARE(faces, (QSet<QString>{Str(mirvo::kSpokenFaceNames), Str(mirvo::kSpokenFaceNames + 2),
                                   Str(mirvo::kSpokenFaceNames + 3)}));
    QVERIFY(sentences.removeDuplicates() < 5);
    QVERIFY(charts.removeDuplicates() < 5);
}

void TestAccessibility::mainWindowMenuFromTheKeyboard_data()
{
    QTest::addColumn<bool>("menuKey");
    QTest::newRow("menu key") << true;
    QTest::newRow("Shift+F10") << false;
}

void TestAccessibility::mainWindowMenuFromTheKeyboard()
{
    QFETCH(bool, menuKey);
    TTodayMirvo w(Paths());
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    if (menuKey) {
        // What the X11 platform makes of the menu key, with the mouse far away.
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(-500, -500), QPoint(-500, -500));
        QApplication::sendEvent(&w, &event);
    } else {
        QTest::keyClick(&w, Qt::Key_F10, Qt::ShiftModifier);
    }
    QTRY_VERIFY(w.Menu()->isVisible());
    QVERIFY(w.frameGeometry().adjusted(-2, -2, 2, 2).contains(w.Menu()->geometry().topLeft()));
    // The menu's letters: "詳細(&I)" opens the detail window.
    QTest::keyClick(w.Menu(), Qt::Key_I);
    QTRY_VERIFY(InfoWindowOpen);
    QVERIFY(!w.Menu()->isVisible());
    MirvoInfo->close();
    QTRY_VERIFY(!InfoWindowOpen);
}

void TestAccessibility::detailWindowNamesTheSignAndEveryScoreCell()
{
    TTodayMirvo main(Paths());
    main.RunCommand(TTodayMirvo::cmdInfo);
    QVERIFY(InfoWindowOpen && MirvoInfo);
    TMirvoInfo& info = *MirvoInfo;
    QCOMPARE(CheckSymbolNames(info), 1);
    const QString sign = info.findChild<QLabel*>("labSign")->text();
    QCOMPARE(QAccessible::queryAccessibleInterface(info.findChild<QLabel*>("labSignMark"))->text(QAccessible::Name),
             sign + "の記号");
    // Every cell says its row, its column and its score, as the grid shows it.
    const auto& score = main.LastEvaluation().reading.StarScore;
    const char* rowHeads[] = {"健康", "感情", "知性"};
    const char* columnHeads[] = {"太陽", "月", "水星", "金星", "火星", "木星", "土星", "天王星", "海王星", "冥王星"};
    QSet<QAccessibleInterface*> inTree;
    for (QAccessibleInterface* iface : Walk(QAccessible::queryAccessibleInterface(&info)))
        inTree << iface;
    for (int a = 0; a < mirvo::kAxisCount; ++a) {
        for (int b = 0; b < mirvo::kBodyCount; ++b) {
            QAccessibleInterface* cell =
                QAccessible::queryAccessibleInterface(info.findChild<QLabel*>(QString("lab%1%2").arg(a).arg(b)));
            QVERIFY(inTree.contains(cell));
            const QString value = !main.Options().PlanetUse[b] ? QString("計算しない") : QString::number(score[a][b]);
            QCOMPARE(cell->text(QAccessible::Name), QString("%1, %2: %3").arg(rowHeads[a], columnHeads[b], value));
        }
    }
    // The OK button has the focus and closes with Enter.
    QApplication::setActiveWindow(&info);
    QVERIFY(QTest::qWaitForWindowActive(&info));
    QCOMPARE(QApplication::focusWidget(), info.findChild<QWidget*>("btnOK"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_VERIFY(!InfoWindowOpen);
}

void TestAccessibility::monthWindowReadsEveryDay()
{
    TTodayMirvo main(Paths());
    main.RunCommand(TTodayMirvo::cmdMonth);
    QVERIFY(MirvoMonth);
    auto* view = MirvoMonth->findChild<TMonthView*>("pnlMonth");
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(view);
    QCOMPARE(iface->role(), QAccessible::Table);
    QAccessibleTableInterface* table = iface->tableInterface();
    QVERIFY(table);
    const mirvo::MonthGrid& grid = view->Grid();
    QCOMPARE(table->rowCount(), grid.weeks);
    QCOMPARE(table->columnCount(), 7);
    QCOMPARE(table->columnDescription(0), QString("日"));
    QCOMPARE(Walk(iface).size(), 1 + 7 * grid.weeks);
    // Every day says its date and its reading, axis by axis, as the main window's rows do.
    for (int cell = 0; cell < 7 * grid.weeks; ++cell) {
        const mirvo::MonthCell& c = grid.cells[cell];
        const QString name = table->cellAt(cell / 7, cell % 7)->text(QAccessible::Name);
        const koyomi::DateParts d = koyomi::DecodeDate(c.date);
        QVERIFY2(name.startsWith(QString("%1月%2日 (").arg(d.month).arg(d.day)), qPrintable(name));
        for (int k = 0; k < mirvo::kAxisCount; ++k) {
            const QString sentence = QString::fromStdString(mirvo::AxisSentence(
                mirvo::LoadStr(mirvo::kTextAxisNames + k), c.evaluation.reading.BioPercent[k], c.evaluation.reading.StarTotal[k],
                c.evaluation.verdict.axes[k]));
            QVERIFY2(name.contains(sentence), qPrintable(name + " / " + sentence));
        }
    }
    // The shown day is the one selected cell, and it follows the day.
    const auto selected = [&] {
        const QList<QAccessibleInterface*> cells = table->selectedCells();
        return cells.size() == 1 ? cells.front()->text(QAccessible::Name) : QString();
    };
    const koyomi::DateParts shown = koyomi::DecodeDate(main.Date());
    QVERIFY2(selected().startsWith(QString("%1月%2日 ").arg(shown.month).arg(shown.day)), qPrintable(selected()));
    main.RunCommand(TTodayMirvo::cmdNextDay);
    const koyomi::DateParts next = koyomi::DecodeDate(main.Date());
    QVERIFY2(selected().startsWith(QString("%1月%2日 ").arg(next.month).arg(next.day)), qPrintable(selected()));
    // No button or other element goes by a lone symbol (the month buttons' arrows).
    for (QAccessibleInterface* element : Walk(QAccessible::queryAccessibleInterface(MirvoMonth))) {
        const QString name = element->text(QAccessible::Name).trimmed();
        QVERIFY2(name.size() != 1 || name[0].isLetterOrNumber(), qPrintable(name));
    }
    // The calendar can be reached with Tab.
    QVERIFY(view->focusPolicy() & Qt::TabFocus);
    MirvoMonth->close();
}

void TestAccessibility::settingsWindowNamesItsFields()
{
    TTodayMirvoOption w(FDir.path().toStdString());
    w.show();
    QCOMPARE(CheckSymbolNames(w), 0);
    // A group inside a group is named by its own title, not by the outer one's.
    for (QGroupBox* group : w.findChildren<QGroupBox*>())
        QCOMPARE(QAccessible::queryAccessibleInterface(group)->text(QAccessible::Name), group->title());
    // Every field one can type into or tick says what it is.
    for (QAccessibleInterface* iface : Walk(QAccessible::queryAccessibleInterface(&w))) {
        const QAccessible::Role role = iface->role();
        if (role == QAccessible::EditableText || role == QAccessible::SpinBox || role == QAccessible::CheckBox
            || role == QAccessible::RadioButton || role == QAccessible::PushButton || role == QAccessible::List
            || role == QAccessible::Tree || role == QAccessible::Table) {
            const auto* widget = qobject_cast<QWidget*>(iface->object());
            if (widget && widget->objectName().startsWith("qt_"))
                continue;
            QVERIFY2(iface->text(QAccessible::Name).trimmed().size() >= 1,
                     qPrintable(iface->object() ? iface->object()->objectName() : QString("?")));
        }
    }
    QCOMPARE(QAccessible::queryAccessibleInterface(w.findChild<QWidget*>("txtName"))->text(QAccessible::Name),
             QString("氏名"));
    QCOMPARE(QAccessible::queryAccessibleInterface(w.findChild<QWidget*>("txtNeputune"))->text(QAccessible::Name),
             QString("海王星の掛け率"));
    QCOMPARE(QAccessible::queryAccessibleInterface(w.findChild<QWidget*>("txtIntell"))->text(QAccessible::Name),
             QString("知性"));
}

void TestAccessibility::settingsWindowTabOrder()
{
    TTodayMirvoOption w(FDir.path().toStdString());
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    // The focus walk from `from`, `steps` presses of Tab (or Shift+Tab); a
    // control that Tab moves within (the date's fields) counts once.
    const auto walk = [&](QWidget* from, int steps, bool back) {
        from->setFocus(Qt::TabFocusReason);
        QStringList seen{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < 40 && seen.size() <= steps; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
            const QString now = QApplication::focusWidget()->objectName();
            if (now != seen.last())
                seen << now;
        }
        return seen;
    };
    // The user page: top to bottom, left to right; the time field only
    // while the time is known; of the sex items the chosen one.
    QCOMPARE(walk(w.findChild<QWidget*>("txtName"), 14, false),
             (QStringList{"txtName", "edtDate", "chkTime", "radSexNone", "txtMemo", "btnUserClear", "btnAdd",
                          "btnStore", "btnFile", "btnDelete", "lstMember", "btnOK", "btnCancel", "btnHelp",
                          "qt_tabwidget_tabbar"}));
    w.findChild<QCheckBox*>("chkTime")->setChecked(true);
    QCOMPARE(walk(w.findChild<QWidget*>("edtDate"), 2, false), (QStringList{"edtDate", "edtTime", "chkTime"}));
    QCOMPARE(walk(w.findChild<QWidget*>("txtMemo"), 3, true),
             (QStringList{"txtMemo", "radSexNone", "chkTime", "edtTime"}));

    // The method page: the cycles, then each body's check box and weight in body order.
    w.findChild<QTabWidget*>("pnlTab")->setCurrentIndex(1);
    QStringList method = {"txtHealth", "txtFeel", "txtIntell", "btnBioDefault"};
    for (const char* body : {"Sun", "Moon", "Mercury", "Venus", "Mars", "Jupiter", "Saturn", "Uranus"})
        method << QString("chk%1").arg(body) << QString("txt%1").arg(body);
    method << "chkNeptune" << "txtNeputune" << "chkPuluto" << "txtPuluto" << "btnPlanetDefault" << "btnOK"
           << "btnCancel" << "btnHelp";
    QCOMPARE(walk(w.findChild<QWidget*>("txtHealth"), method.size() - 1, false), method);
    // Every control that takes the focus is visible as focused: it says so to the style.
    for (const QString& name : method) {
        auto* control = w.findChild<QWidget*>(name);
        control->setFocus(Qt::TabFocusReason);
        QVERIFY2(control->hasFocus() && control->focusPolicy() & Qt::TabFocus, qPrintable(name));
    }
}

void TestAccessibility::settingsWindowAcceleratorsReachTheirControls()
{
    TTodayMirvoOption w(FDir.path().toStdString());
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    const mirvo::THelpEvent previous = mirvo::GetApplicationOnHelp();
    QList<quint16> helpCommands;
    mirvo::SetApplicationOnHelp([&](quint16 command, quintptr, bool& callHelp) {
        helpCommands << command;
        callHelp = false;
        return true;
    });
    // Every caption with an accelerator letter, on both pages (追加 with the
    // name emptied by クリア says so in a box, answered here).
    testing_gui::TMessageBoxWatch boxes;
    int reached = 0;
    for (int page = 0; page < 2; ++page) {
        w.findChild<QTabWidget*>("pnlTab")->setCurrentIndex(page);
        w.findChild<QWidget*>("txtName")->setFocus();
        const int pressed = PressEveryAccelerator(w);
        QVERIFY(pressed >= 0);
        reached += pressed;
    }
    mirvo::SetApplicationOnHelp(previous);
    // "ヘルプ(&H)" is one of them, on both pages; the member's buttons and
    // 「ファイル」 on the first.
    QVERIFY2(reached >= 7, qPrintable(QString::number(reached)));
    QCOMPARE(boxes.texts, QStringList{QString::fromStdString(mirvo::LoadStr(mirvo::kMsgNameRequired))});
    QCOMPARE(helpCommands, (QList<quint16>{mirvo::HELP_CONTENTS, mirvo::HELP_CONTENTS}));
}

void TestAccessibility::helpWindowAcceleratorsAndTheAccessibilityPage()
{
    mirvo::THelpWindow help;
    QVERIFY(help.OpenFile(MIRVO_RUNTIME_DIR "/TodayMirvo.chm"));
    help.show();
    QApplication::setActiveWindow(&help);
    QVERIFY(QTest::qWaitForWindowActive(&help));
    // The page of this program's help on keyboard and screen readers, in the index too.
    QVERIFY(help.ShowTopic("access.htm"));
    const QList<mirvo::THelpTopicRef> found = help.KeywordTopics({"スクリーンリーダー"});
    QCOMPARE(found.size(), 1);
    QCOMPARE(found.front().local, QString("access.htm"));
    // Buttons, the tabs and the keyword field's label of the help window.
    const int pressed = PressEveryAccelerator(help);
    QVERIFY2(pressed >= 5, qPrintable(QString::number(pressed)));
}

void TestAccessibility::windowsReadableWithADarkPalette()
{
    const QPalette original = QApplication::palette();
    for (const QPalette& palette : {original, DarkPalette()}) {
        QApplication::setPalette(palette);
        TTodayMirvoOption settings(FDir.path().toStdString());
        TTodayMirvo main(Paths());
        main.RunCommand(TTodayMirvo::cmdInfo);
        TDialogVersion about(&main);
        for (QWidget* window : {static_cast<QWidget*>(&settings), static_cast<QWidget*>(MirvoInfo),
                                static_cast<QWidget*>(&about)}) {
            QString worst;
            const double contrast = WorstContrast(*window, worst);
            QVERIFY2(contrast >= 4.5, qPrintable(QString("%1: %2 at %3").arg(window->objectName(), worst)
                                                      .arg(contrast)));
        }
        MirvoInfo->close();
        QTRY_VERIFY(!InfoWindowOpen);
    }
    QApplication::setPalette(original);
}

void TestAccessibility::captionsFitTheirControls()
{
    TTodayMirvoOption settings(FDir.path().toStdString());
    settings.show();
    TTodayMirvo main(Paths());
    main.RunCommand(TTodayMirvo::cmdInfo);
    TDialogVersion about(&main);
    about.show();
    for (QWidget* window :
         {static_cast<QWidget*>(&settings), static_cast<QWidget*>(MirvoInfo), static_cast<QWidget*>(&about)}) {
        for (int page = 0; page < 2; ++page) {
            if (auto* tabs = window->findChild<QTabWidget*>())
                tabs->setCurrentIndex(page);
            const QStringList clipped = ClippedCaptions(*window);
            QVERIFY2(clipped.isEmpty(), qPrintable(window->objectName() + ": " + clipped.join("; ")));
        }
    }
    MirvoInfo->close();
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
