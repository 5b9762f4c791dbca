// The window program and its desktop files share one id: the program tells Qt
// the desktop entry that lies in resources/desktop under that id, and the
// entry, the metainfo and the icon carry the same id.
#include "app/desktopentry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMap>
#include <QRegularExpression>
#include <QTest>

namespace {

const QString kDesktopDir = QStringLiteral(MIRVO_SOURCE_DIR "/resources/desktop");

QString ReadText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The keys of one group of a desktop entry ("Desktop Entry", "Desktop Action x").
QMap<QString, QString> DesktopGroup(const QString& path, const QString& group)
{
    QMap<QString, QString> keys;
    QString current;
    for (const QString& line : ReadText(path).split('\n')) {
        if (line.startsWith('#') || line.trimmed().isEmpty())
            continue;
        if (line.startsWith('[')) {
            current = line.mid(1, line.indexOf(']') - 1);
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (current == group && eq > 0)
            keys.insert(line.left(eq), line.mid(eq + 1));
    }
    return keys;
}

// The text of the first element <tag ...>text</tag> in xml.
QString ElementText(const QString& xml, const QString& tag)
{
    const QRegularExpression re(QStringLiteral("<%1(\\s[^>]*)?>([^<]*)</%1>").arg(tag));
    const auto m = re.match(xml);
    return m.hasMatch() ? m.captured(2).trimmed() : QStringLiteral("<no %1>").arg(tag);
}

} // namespace

class TestDesktopEntry : public QObject {
    Q_OBJECT
private slots:
    void programNamesItsDesktopEntry();
    void metainfoAndIconsCarryTheId();
    void entryMatchesTheWindowAndOffersTheTerminalReading();
};

void TestDesktopEntry::programNamesItsDesktopEntry()
{
    QVERIFY(QGuiApplication::desktopFileName().isEmpty());
    mirvo::UseDesktopEntry();
    const QString id = QGuiApplication::desktopFileName();
    QCOMPARE(id, mirvo::DesktopEntryId());
    // Reverse DNS, no ".desktop" (Qt and the Wayland application id want it bare).
    QVERIFY2(QRegularExpression(QStringLiteral("^[a-z][a-z0-9]*(\\.[A-Za-z][A-Za-z0-9_]*){2,}$")).match(id).hasMatch(),
             qPrintable(id));
    // The one desktop entry the program installs is the one named so.
    const QStringList entries = QDir(kDesktopDir).entryList({QStringLiteral("*.desktop")}, QDir::Files);
    QCOMPARE(entries, QStringList{id + ".desktop"});
}

void TestDesktopEntry::metainfoAndIconsCarryTheId()
{
    const QString id = mirvo::DesktopEntryId();
    const auto entry = DesktopGroup(kDesktopDir + "/" + id + ".desktop", "Desktop Entry");
    QCOMPARE(entry.value("Icon"), id);

    const QString metainfo = ReadText(kDesktopDir + "/" + id + ".metainfo.xml.in");
    QVERIFY(!metainfo.isEmpty());
    QCOMPARE(ElementText(metainfo, "id"), id);
    QCOMPARE(ElementText(metainfo, "launchable"), id + ".desktop");
    // Both programs, by the names of their links in /usr/bin.
    QVERIFY(metainfo.contains("<binary>todaymirvo</binary>"));
    QVERIFY(metainfo.contains("<binary>mirvo-today</binary>"));
    // The icon is installed under the id (cmake/Install.cmake), from these sources.
    QVERIFY(QFileInfo::exists(MIRVO_SOURCE_DIR "/resources/icon/todaymirvo.svg"));
    QVERIFY(QFileInfo::exists(MIRVO_SOURCE_DIR "/resources/icon/todaymirvo-symbolic.svg"));
}

void TestDesktopEntry::entryMatchesTheWindowAndOffersTheTerminalReading()
{
    const QString path = kDesktopDir + "/" + mirvo::DesktopEntryId() + ".desktop";
    const auto entry = DesktopGroup(path, "Desktop Entry");
    // Qt names an X11 window's WM_CLASS instance after the command that
    // started it; the entry must expect that name (the Xvfb screenshot test
    // reads the real window's WM_CLASS).
    const QString command = entry.value("Exec").section(' ', 0, 0);
    QCOMPARE(command, QStringLiteral("todaymirvo"));
    QCOMPARE(entry.value("StartupWMClass"), command);
    QVERIFY(!entry.value("Keywords").isEmpty());
    QVERIFY(!entry.value("Keywords[ja]").isEmpty());

    const QStringList actions = entry.value("Actions").split(';', Qt::SkipEmptyParts);
    QCOMPARE(actions, QStringList{"today-in-terminal"});
    const auto action = DesktopGroup(path, "Desktop Action today-in-terminal");
    QVERIFY(!action.value("Name[ja]").isEmpty());
    // The default member's reading of today, in a terminal that stays open.
    const QString exec = action.value("Exec");
    QVERIFY2(exec.startsWith("x-terminal-emulator -e "), qPrintable(exec));
    QVERIFY2(exec.contains("mirvo-today;"), qPrintable(exec));
    QVERIFY2(exec.contains("read "), qPrintable(exec));
}

QTEST_MAIN(TestDesktopEntry)
#include "tst_desktopentry.moc"
