#include "app/startup.h"

#include "app/formmain.h"
#include "app/instancechannel.h"
#include "app/quitsignals.h"
#include "base/messages.h"
#include "base/stringtable.h"
#include "base/systemerror.h"
#include "base/wholefile.h"
#include "members/backups.h"
#include "start/filemessages.h"
#include "start/instancelock.h"
#include "start/programstart.h"
#include "version/appinfo.h"
#include "views/mainicon.h"

#include <QApplication>
#include <QMessageBox>

#include <iostream>
#include <memory>
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
    QApplication::setWindowIcon(WindowIcon());
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

    // One window program per settings folder: two would each save their own
    // member list and settings at exit, and one would lose the other's. A
    // second start brings the first one's window forward instead.
    const std::filesystem::path settingsFolder = paths.SettingsFile().parent_path();
    const TInstanceLock lock(settingsFolder);
    const std::string channelName = InstanceChannelName(settingsFolder);
    if (lock.State() == TInstanceLock::lsHeldByOther) {
        if (TInstanceChannel::AskToComeForward(channelName)) {
            std::cerr << LoadStr(kMsgBroughtForward) << '\n';
            return 0;
        }
        warn(LoadStr(kMsgCannotBringForward), AppFileDescription());
        return 0;
    }
    QuitOnTerminationSignals();
    std::unique_ptr<TInstanceChannel> channel;
    if (lock.State() == TInstanceLock::lsTaken) {
        // No other copy runs: what an interrupted save left behind is this program's own and can go.
        for (const std::filesystem::path& file : {paths.MemberFile(), paths.SettingsFile(), paths.LogFile()})
            RemoveLeftoverTemporaries(file);
        for (const std::filesystem::path& file : {paths.MemberFile(), paths.SettingsFile()})
            RemoveBackupLeftovers(file);
        channel = std::make_unique<TInstanceChannel>(channelName);
        if (!channel->Listening())
            std::cerr << (channelName.empty()
                              ? LoadStr(kMsgNoPrivateFolder)
                              : FormatStr(kMsgNoChannel, {channelName, SystemErrorText(channel->Error())}))
                      << '\n';
    } else {
        // Without a lock a second copy cannot be told apart: the user hears of it before both save.
        warn(FormatStr(kMsgNoLock, {settingsFolder.string()}), AppFileDescription());
    }

    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(QString::fromStdString(AppFileDescription()));
    try {
        TTodayMirvo window(paths, nullptr, startMember);
        if (channel)
            channel->SetWindow(&window);
        window.show();
        // A signal during a box at start ends the run before the loop begins.
        if (!QuitRequested())
            QApplication::exec();
    } catch (const std::exception& e) {
        if (QuitRequested())
            std::cerr << e.what() << '\n';
        else
            QMessageBox::critical(nullptr, QString::fromStdString(AppFileDescription()), QString::fromUtf8(e.what()));
    }
    return 0;
}

} // namespace mirvo
