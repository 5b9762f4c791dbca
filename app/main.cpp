// TodayMirvo: how a person's day looks, by biorhythm and by the stars.
#include "app/desktopentry.h"
#include "app/startup.h"

#include <QApplication>

#include <filesystem>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    mirvo::UseDesktopEntry();
    const std::filesystem::path programDir = QCoreApplication::applicationDirPath().toStdString();
    return mirvo::RunProgram(programDir, mirvo::ShowStartupWarning);
}
