// Start-up refuses to run without a usable calendar data file and touches nothing then.
#include "app/startup.h"
#include "base/stringtable.h"
#include "koyomi/peresource.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QTest>

#include <algorithm>
#include <filesystem>

namespace {

struct Warning {
    std::string text;
    std::string caption;
};

std::vector<std::string> FilesIn(const std::filesystem::path& dir)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void refusesWithoutTheDataFile();
    void refusesADamagedDataFile_data();
    void refusesADamagedDataFile();
};

void TestStartup::refusesWithoutTheDataFile()
{
    QTemporaryDir dir;
    const std::filesystem::path folder = dir.path().toStdString();
    std::vector<Warning> warnings;
    const int code = mirvo::RunProgram(folder, [&](const std::string& t, const std::string& c) {
        warnings.push_back({t, c});
    });
    QCOMPARE(code, 1);
    QCOMPARE(warnings.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(warnings[0].text), QString("暦ライブラリ Kosmera.dat が見つかりません."));
    QCOMPARE(QString::fromStdString(warnings[0].caption), QString("初期化エラー"));
    QVERIFY(FilesIn(folder).empty());
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// Where the zlib stream of the KOYOMI block lies in the data file's bytes.
qsizetype KoyomiStreamOffset(const QByteArray& file)
{
    const std::vector<std::uint8_t> bytes(file.begin(), file.end());
    const auto pe = koyomi::TPeResources::FromBytes(bytes);
    const auto block = pe ? pe->Find("KOSMERA", "KOYOMI") : std::nullopt;
    if (!block)
        return -1;
    const auto at = std::search(bytes.begin(), bytes.end(), block->begin(), block->end());
    return at == bytes.end() ? -1 : (at - bytes.begin()) + 4;
}

} // namespace

void TestStartup::refusesADamagedDataFile_data()
{
    QTest::addColumn<QByteArray>("dataFile");
    const QByteArray good = ReadFile(MIRVO_KOSMERA_PATH);
    QVERIFY(!good.isEmpty());
    const qsizetype stream = KoyomiStreamOffset(good);
    QVERIFY(stream > 0);
    const qint32 length = qFromLittleEndian<qint32>(good.constData() + stream - 4);

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("truncated") << good.left(good.size() / 2);
    QByteArray magic = good;
    magic[0] = 'X';
    QTest::newRow("wrong magic") << magic;
    QByteArray header = good;
    header[stream] = static_cast<char>(header[stream] ^ 0x0F);
    QTest::newRow("corrupt zlib header") << header;
    QByteArray check = good;
    check[stream + length - 1] = static_cast<char>(check[stream + length - 1] ^ 0x01);
    QTest::newRow("corrupt zlib check value") << check;
}

void TestStartup::refusesADamagedDataFile()
{
    QFETCH(QByteArray, dataFile);
    QTemporaryDir dir;
    const std::filesystem::path folder = dir.path().toStdString();
    WriteFile(dir.filePath("Kosmera.dat"), dataFile);
    const QByteArray members = "\x88\xa2\x88\xf2,1,1990/01/02,00:00:00,0,\r\n";
    const QByteArray settings = "[Option]\nDefaultUserIndex=0\n";
    WriteFile(dir.filePath("Mirvo.csv"), members);
    WriteFile(dir.filePath("TodayMirvo.ini"), settings);

    std::vector<Warning> warnings;
    const int code = mirvo::RunProgram(folder, [&](const std::string& t, const std::string& c) {
        warnings.push_back({t, c});
    });
    QCOMPARE(code, 1);
    QCOMPARE(warnings.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(warnings[0].text), QString("暦ライブラリの初期化に失敗しました."));
    QCOMPARE(QString::fromStdString(warnings[0].caption), QString("初期化エラー"));
    QCOMPARE(FilesIn(folder), (std::vector<std::string>{"Kosmera.dat", "Mirvo.csv", "TodayMirvo.ini"}));
    QCOMPARE(ReadFile(dir.filePath("Mirvo.csv")), members);
    QCOMPARE(ReadFile(dir.filePath("TodayMirvo.ini")), settings);
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
