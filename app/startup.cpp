#include "app/startup.h"

#include "app/appinfo.h"
#include "app/formmain.h"
#include "app/messages.h"
#include "app/programstart.h"
#include "app/quitsignals.h"
#include "app/stringtable.h"
#include "views/mainicon.h"

#include <QApplication>
#include <QMessageBox>

#include <string_view>

namespace mirvo {

std::optional<std::string> StartMemberArgument(const std::vector<std::string>& args)
{
    constexpr std::string_view kOption = "--member";
    std::optional<std::string> key;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        if (a == kOption && i + 1 < args.size())
            key = args[++i];
        else if (a.substr(0, kOption.size() + 1) == "--member=")
            key = std::string(a.substr(kOption.size() + 1));
    }
    return key;
}

void ShowStartupWarning(const std::string& text, const std::string& caption)
{
    QMessageBox::warning(nullptr, QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::Ok);
}

int RunProgram(const std::filesystem::path& programDir, const WarningBox& warn,
               const std::optional<std::string>& startMember)
{
    // Every window of the program, the warning boxes included, shows its icon.
    QApplication::setWindowIcon(MainIcon());
    // An installed program cannot write its own folder: its settings and
    // member list then live in the user's folders.
    const ProgramPaths paths = ProgramFilesIn(programDir);
    // The data file stays loaded while any window may look up its texts; it
    // is released when RunProgram returns, after the main window is gone.
    TDataModule dataModule;
    try {
        dataModule = LoadDataFile(paths);
    } catch (const EStartError& e) {
        warn(e.what(), LoadStr(kMsgInitCaption));
        return 1;
    }
    MakeUserFolders(paths);
    QuitOnTerminationSignals();

    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(QString::fromStdString(AppFileDescription()));
    try {
        TTodayMirvo window(paths, nullptr, startMember);
        window.show();
        QApplication::exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QString::fromStdString(AppFileDescription()), QString::fromUtf8(e.what()));
    }
    return 0;
}

} // namespace mirvo
