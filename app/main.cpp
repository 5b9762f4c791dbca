// TodayMirvo: how a person's day looks, by biorhythm and by the stars.
#include "app/desktopentry.h"
#include "app/startup.h"
#include "components/qtext.h"
#include "components/windowslook.h"
#include "start/instancelock.h"

#include <QApplication>

#include <filesystem>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    // Qt asks for the runtime folder too: it gets one it accepts.
    mirvo::UseValidRuntimeFolder();
    QApplication app(argc, argv);
    mirvo::UseDesktopEntry();
    mirvo::InstallProgramLook(app);
    const std::filesystem::path programDir = mirvo::PathFromQ(QCoreApplication::applicationDirPath());
    // Qt has taken its own options out; "--member KEY" opens the window on that member.
    std::vector<std::string> args;
    for (const QString& a : QCoreApplication::arguments().mid(1))
        args.push_back(a.toStdString());
    return mirvo::RunProgram(programDir, mirvo::ShowStartupWarning, mirvo::StartMemberArgument(args));
}
