// The detail window: what it shows for a member and a day, and how the main
// window opens it, keeps it single and refreshes it.
#include "app/formmain.h"
#include "base/sjis.h"
#include "koyomi/datetime.h"
#include "koyomi/tables.h"
#include "modalwatch.h"
#include "start/programstart.h"
#include "views/mirvoinfo.h"

#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QDate>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>

namespace {

QString Text(const QWidget& w, const QString& name)
{
    auto* label = w.findChild<QLabel*>(name);
    return label ? label->text() : QString("<no %1>").arg(name);
}

QString Cell(const QWidget& w, int axis, int body)
{
    return Text(w, QString("lab%1%2").arg(axis).arg(body));
}

QString UserCaption(const QWidget& w)
{
    return w.findChild<QGroupBox*>("grpUser")->title();
}

mirvo::TMirvoOptions AllBodiesOn()
{
    mirvo::TMirvoOptions options;
    options.PlanetUse.fill(true);
    return options;
}

void WriteFile(const std::filesystem::path& p, const std::string& utf8)
{
    std::ofstream out(p, std::ios::binary);
    out << *koyomi::Utf8ToCp932(utf8);
}

constexpr double kDaysPerCentury = 36525.0;

// While it lives, the coefficient table holds only a Sun whose longitude is
// `longitude` degrees at J2000.0 and grows by `rate` degrees per Julian
// century (the first two terms of the Sun's longitude series: the T-term
// and a constant one). The table that was loaded comes back afterwards.
class SunTable {
public:
    SunTable(double longitude, double rate)
        : FAmplitude(koyomi::Amplitude), FRate(koyomi::Rate), FPhase(koyomi::Phase)
    {
        std::array<double, koyomi::kTermCount> amplitude{};
        std::array<double, koyomi::kTermCount> zero{};
        amplitude[kSecularTerm - 1] = rate;
        amplitude[kConstantTerm - 1] = longitude;
        koyomi::SetCoefficients(amplitude, zero, zero);
    }
    ~SunTable() { koyomi::SetCoefficients(FAmplitude, FRate, FPhase); }
    SunTable(const SunTable&) = delete;
    SunTable& operator=(const SunTable&) = delete;

private:
    static constexpr int kSecularTerm = 1;
    static constexpr int kConstantTerm = 2;
    std::array<double, koyomi::kTermCount> FAmplitude, FRate, FPhase;
};

// Columns of an image that hold a dark pixel: the ink of a text.
int InkedColumns(const QImage& image)
{
    int columns = 0;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (qGray(image.pixel(x, y)) < 128) {
                ++columns;
                break;
            }
        }
    }
    return columns;
}

// The ink of `text` drawn alone, with room to spare, in `font` at `ratio` device pixels per pixel.
int FreeInk(const QString& text, const QFont& font, qreal ratio)
{
    const QSize size(200, 40);
    QImage image(size * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, text);
    painter.end();
    return InkedColumns(image);
}

// Days since birth as the window writes them.
QString Existence(int days)
{
    return QString("生存日数 %1日").arg(days);
}

} // namespace

class TestMirvoInfo : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void groupCaptionFromTheName();
    void birthDataSexAndSign();
    void daysLivedCountDateParts_data();
    void daysLivedCountDateParts();
    void scoreGrid();
    void widestScoresReadWhole();
    void openedOnceFromTheMainWindowAndRefreshed();
    void storedFactsOfTheTestMembers_data();
    void storedFactsOfTheTestMembers();
};

void TestMirvoInfo::initTestCase()
{
    QVERIFY2(testing_gui::LoadDataFile(), "Kosmera.dat is built beside the program");
}

void TestMirvoInfo::groupCaptionFromTheName()
{
    TMirvoInfo info;
    QVERIFY(InfoWindowOpen);
    QCOMPARE(info.windowTitle(), QString("鑑定情報"));
    mirvo::TMemberListItem member;
    info.ShowMemberInfo(member, AllBodiesOn(), {}, koyomi::Now());
    QCOMPARE(UserCaption(info), QString("個人情報"));
    member.Name = "花子";
    info.ShowMemberInfo(member, AllBodiesOn(), {}, koyomi::Now());
    QCOMPARE(UserCaption(info), QString("花子さんの個人情報"));
}

void TestMirvoInfo::birthDataSexAndSign()
{
    // A Sun that moves 30 degrees a day and stands at 300 degrees at J2000.0
    // (2000-01-01 21:00 Japan time): at noon of 1 January it is in the tenth
    // sign (270-300), at 23:59 already in the eleventh.
    const SunTable sun(300.0, 30.0 * kDaysPerCentury);
    TMirvoInfo info;
    mirvo::TMemberListItem member;
    member.Name = "花子";
    member.Sex = mirvo::kSexFemale;
    member.Birthday = koyomi::EncodeDate(2000, 1, 1) + koyomi::EncodeTime(23, 59, 0);
    member.TimeKnown = true;
    info.ShowMemberInfo(member, AllBodiesOn(), {}, koyomi::EncodeDate(2000, 1, 1));
    QCOMPARE(Text(info, "labBirthDay"), QString("2000年1月1日生まれ"));
    QCOMPARE(Text(info, "labSex"), QString("女性"));
    QCOMPARE(Text(info, "labSign"), QString("山羊座"));
    QCOMPARE(Text(info, "labSignPlanet"), QString("守護星:土星"));
    QCOMPARE(info.findChild<QLabel*>("labSignMark")->property("symbolCode").toString(), QString("g"));
    QVERIFY(Text(info, "labSignMark").startsWith(QString("♑")));  // drawn as the Capricorn symbol

    // The eighth sign has the longest guardian's name; the label grows to
    // its text and keeps its right edge.
    const SunTable scorpio(225.0, 0.0);
    info.ShowMemberInfo(member, AllBodiesOn(), {}, koyomi::EncodeDate(2000, 1, 1));
    QCOMPARE(Text(info, "labSign"), QString("蠍座"));
    QCOMPARE(Text(info, "labSignPlanet"), QString("守護星:冥王星"));
    const QLabel* planet = info.findChild<QLabel*>("labSignPlanet");
    // 16 pixels from the group's right edge, as laid out (the group widens with the score grid).
    QCOMPARE(planet->geometry().right(), info.findChild<QGroupBox*>("grpUser")->width() - 16);
    QVERIFY(planet->width() >= planet->fontMetrics().horizontalAdvance(planet->text()));

    // A sex code the program has no name for shows nothing.
    member.Sex = 5;
    info.ShowMemberInfo(member, AllBodiesOn(), {}, koyomi::EncodeDate(2000, 1, 1));
    QCOMPARE(Text(info, "labSex"), QString());
}

void TestMirvoInfo::daysLivedCountDateParts_data()
{
    QTest::addColumn<double>("day");
    QTest::addColumn<int>("days");
    const koyomi::TDateTime birth = koyomi::EncodeDate(2000, 3, 10);
    QTest::newRow("three days before, later in the day") << birth - 3 + 0.9 << -3;
    QTest::newRow("the birth date itself, before the birth time") << birth + 0.1 << 0;
    QTest::newRow("one year later") << double(koyomi::EncodeDate(2001, 3, 10)) << 365;
    QTest::newRow("before 1900") << double(koyomi::EncodeDate(1899, 12, 29)) << -36596;
}

void TestMirvoInfo::daysLivedCountDateParts()
{
    QFETCH(double, day);
    QFETCH(int, days);
    TMirvoInfo info;
    mirvo::TMemberListItem member;
    member.Birthday = koyomi::EncodeDate(2000, 3, 10) + koyomi::EncodeTime(18, 0, 0);
    info.ShowMemberInfo(member, AllBodiesOn(), {}, day);
    QCOMPARE(Text(info, "labExistence"), Existence(days));
}

void TestMirvoInfo::scoreGrid()
{
    TMirvoInfo info;
    mirvo::TMirvoOptions options = AllBodiesOn();
    options.PlanetUse[4] = false;  // Mars
    TStarScores scores{};
    for (int a = 0; a < mirvo::kAxisCount; ++a)
        for (int b = 0; b < mirvo::kBodyCount; ++b)
            scores[a][b] = (a + 1) * (b + 1) * (b % 2 ? -1 : 1);
    scores[0][0] = 0;
    scores[1][4] = 0;
    info.ShowMemberInfo(mirvo::TMemberListItem(), options, scores, koyomi::Now());
    for (int a = 0; a < mirvo::kAxisCount; ++a)
        QCOMPARE(Cell(info, a, 4), QString("-"));
    QCOMPARE(Cell(info, 0, 0), QString());
    QCOMPARE(Cell(info, 0, 1), QString("-2"));
    QCOMPARE(Cell(info, 2, 9), QString("-30"));
    QCOMPARE(Cell(info, 1, 2), QString("6"));
}

void TestMirvoInfo::widestScoresReadWhole()
{
    // -202 is the Sun's strongest score at its default weight; -1000 needs
    // ten times that weight, 12345 more still.
    TMirvoInfo info;
    TStarScores scores{};
    for (int a = 0; a < mirvo::kAxisCount; ++a)
        for (int b = 0; b < mirvo::kBodyCount; ++b)
            scores[a][b] = b % 3 == 0 ? -1000 : (b % 3 == 1 ? -180 : -202);
    info.ShowMemberInfo(mirvo::TMemberListItem(), AllBodiesOn(), scores, koyomi::Now());
    info.show();
    QVERIFY(QTest::qWaitForWindowExposed(&info));
    const auto checkCells = [&] {
        const QRect grid = info.findChild<QGroupBox*>("grpPlanet")->geometry();
        for (int a = 0; a < mirvo::kAxisCount; ++a) {
            for (int b = 0; b < mirvo::kBodyCount; ++b) {
                auto* cell = info.findChild<QLabel*>(QString("lab%1%2").arg(a).arg(b));
                const QString text = QString::number(scores[a][b]);
                QCOMPARE(cell->text(), text);
                const qreal ratio = info.devicePixelRatioF();
                const int shown = InkedColumns(cell->grab().toImage());
                const int whole = FreeInk(text, cell->font(), ratio);
                QVERIFY2(std::abs(shown - whole) <= ratio,
                         qPrintable(QString("cell %1%2 '%3': %4 of %5 columns of ink shown")
                                        .arg(a).arg(b).arg(text).arg(shown).arg(whole)));
                QVERIFY(QRect(QPoint(0, 0), grid.size()).contains(cell->geometry()));
                if (b + 1 < mirvo::kBodyCount) {
                    auto* next = info.findChild<QLabel*>(QString("lab%1%2").arg(a).arg(b + 1));
                    QVERIFY(cell->geometry().right() < next->geometry().left());
                }
            }
        }
        QVERIFY(info.rect().contains(info.findChild<QPushButton*>("btnOK")->geometry()));
    };
    checkCells();
    // A value wider than any the layout made room for widens its column.
    scores[2][9] = 12345;
    scores[0][0] = -12345;
    info.ShowMemberInfo(mirvo::TMemberListItem(), AllBodiesOn(), scores, koyomi::Now());
    checkCells();
}

void TestMirvoInfo::openedOnceFromTheMainWindowAndRefreshed()
{
    QTemporaryDir dir;
    mirvo::ProgramPaths paths;
    paths.programFile = std::filesystem::path(dir.path().toStdString()) / "TodayMirvo";
    WriteFile(paths.MemberFile(), "\"山田太郎\",1,1985/06/15,08:30:00,1,\"メモ\"\r\n");
    TTodayMirvo main(paths);
    QVERIFY(!InfoWindowOpen);
    main.RunCommand(TTodayMirvo::cmdInfo);
    QVERIFY(InfoWindowOpen);
    QPointer<TMirvoInfo> first = MirvoInfo;
    QVERIFY(first && first->isVisible());
    // Filled as it appears, from the main window's evaluation.
    QCOMPARE(UserCaption(*first), QString("山田太郎さんの個人情報"));
    const auto days = [&] { return Text(*first, "labExistence").mid(5).chopped(1).toInt(); };
    const int daysAtStart = days();
    QVERIFY(daysAtStart > 10000);
    const auto gridMatchesTheEvaluation = [&] {
        const auto& score = main.LastEvaluation().reading.StarScore;
        for (int a = 0; a < mirvo::kAxisCount; ++a)
            for (int b = 0; b < mirvo::kBodyCount; ++b) {
                const QString expected = !main.Options().PlanetUse[b] ? "-"
                                         : score[a][b] == 0           ? ""
                                                                      : QString::number(score[a][b]);
                if (Cell(*first, a, b) != expected)
                    return false;
            }
        return true;
    };
    QVERIFY(gridMatchesTheEvaluation());

    main.RunCommand(TTodayMirvo::cmdInfo);
    QCOMPARE(main.findChildren<TMirvoInfo*>().size(), 1);
    QCOMPARE(MirvoInfo, first.data());

    main.RunCommand(TTodayMirvo::cmdNextDay);
    QCOMPARE(days(), daysAtStart + 1);
    QVERIFY(gridMatchesTheEvaluation());
    main.RunCommand(TTodayMirvo::cmdPreDay);
    main.RunCommand(TTodayMirvo::cmdPreDay);
    QCOMPARE(days(), daysAtStart - 1);

    // OK closes and frees it; the menu then makes a fresh one.
    QTest::mouseClick(first->findChild<QPushButton*>("btnOK"), Qt::LeftButton);
    QTRY_VERIFY(first.isNull());
    QVERIFY(!InfoWindowOpen);
    QVERIFY(MirvoInfo == nullptr);
    main.RunCommand(TTodayMirvo::cmdNextDay);  // nothing to refresh now
    main.RunCommand(TTodayMirvo::cmdInfo);
    QVERIFY(InfoWindowOpen && MirvoInfo);
    QCOMPARE(Text(*MirvoInfo, "labExistence"), Existence(daysAtStart));
}

void TestMirvoInfo::storedFactsOfTheTestMembers_data()
{
    QTest::addColumn<int>("member");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("sign");
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<QString>("guardian");
    // Members and days of the stored mirvo-today readings (tests/data/today):
    // signs from Capricorn to Sagittarius, a birth day, a day before the
    // birth, a Japanese name.
    QTest::newRow("Hana") << 0 << "2024-05-01" << "山羊座" << "♑" << "土星";
    QTest::newRow("Taro, 29 February") << 1 << "2024-02-29" << "魚座" << "♓" << "海王星";
    QTest::newRow("Aki, the birth day") << 2 << "1985-07-23" << "獅子座" << "♌" << "太陽";
    QTest::newRow("Mio, 21 March") << 4 << "2026-12-07" << "魚座" << "♓" << "海王星";
    QTest::newRow("Jiro, Leo") << 7 << "2038-01-19" << "獅子座" << "♌" << "太陽";
    QTest::newRow("Nana, before birth") << 8 << "1900-01-01" << "射手座" << "♐" << "木星";
    QTest::newRow("Sakura, Japanese name") << 9 << "2024-12-31" << "牡羊座" << "♈" << "火星";
}

void TestMirvoInfo::storedFactsOfTheTestMembers()
{
    QFETCH(int, member);
    QFETCH(QString, date);
    QFETCH(QString, sign);
    QFETCH(QString, symbol);
    QFETCH(QString, guardian);
    const QString members = QStringLiteral(MIRVO_TEST_DATA_DIR "/today/members.csv");
    mirvo::TMemberList list;
    mirvo::LoadMembers(list, mirvo::ProgramFilesIn(MIRVO_RUNTIME_DIR), members.toStdString());
    const QStringList ymd = date.split('-');
    TMirvoInfo info;
    info.ShowMemberInfo(list.Items(member), AllBodiesOn(), {},
                        koyomi::EncodeDate(ymd[0].toInt(), ymd[1].toInt(), ymd[2].toInt()));

    QCOMPARE(Text(info, "labSign"), sign);
    QVERIFY(Text(info, "labSignMark").startsWith(symbol));
    QCOMPARE(Text(info, "labSignPlanet"), "守護星:" + guardian);
    // The days lived as the stored reading counted them, and as Qt's own
    // calendar counts them from the birth date in the member file.
    QFile stored(QStringLiteral(MIRVO_TEST_DATA_DIR "/today/%1-%2.json").arg(member).arg(date));
    QVERIFY(stored.open(QIODevice::ReadOnly));
    const QJsonObject json = QJsonDocument::fromJson(stored.readAll()).object();
    const int daysLived = json["days"].toArray().at(0).toObject()["daysSinceBirth"].toInt();
    const QDate birth = QDate::fromString(json["member"].toObject()["birthday"].toString(), Qt::ISODate);
    QCOMPARE(birth.daysTo(QDate::fromString(date, Qt::ISODate)), qint64(daysLived));
    QCOMPARE(Text(info, "labExistence"), Existence(daysLived));
}

QTEST_MAIN(TestMirvoInfo)
#include "tst_mirvoinfo.moc"
