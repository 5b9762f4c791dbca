#include "app/startup.h"

#include "app/appinfo.h"
#include "app/formmain.h"
#include "app/programpaths.h"
#include "app/quitsignals.h"
#include "app/stringtable.h"
#include "koyomi/datafile.h"
#include "views/mainicon.h"

#include <QApplication>
#include <QMessageBox>

#include <memory>

namespace mirvo {

namespace {

constexpr int kMsgLibraryInitFailed = 40000;
constexpr int kMsgDataFileMissing = 40002;
constexpr int kMsgInitCaption = 40003;
const char* const kProgramName = "TodayMirvo";

} // namespace

void ShowStartupWarning(const std::string& text, const std::string& caption)
{
    QMessageBox::warning(nullptr, QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::Ok);
}

int RunProgram(const std::filesystem::path& programDir, const WarningBox& warn)
{
    // Every window of the program, the warning boxes included, shows its icon.
    QApplication::setWindowIcon(MainIcon());
    ProgramPaths paths;
    paths.programFile = programDir / kProgramName;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(paths.DataFile(), ec)) {
        warn(LoadStr(kMsgDataFileMissing), LoadStr(kMsgInitCaption));
        return 1;
    }
    // --- calendar data file: load and hand to the library ---
    // The module stays loaded while any window may look up its texts; the
    // guard frees it when RunProgram returns, after the main window is gone.
    const std::unique_ptr<const koyomi::TPeResources, void (*)(koyomi::ModuleHandle)> dataModule(
        koyomi::LoadLibraryA(paths.DataFile().string()), &koyomi::FreeLibrary);
    if (!koyomi::InitKoyomiLib(dataModule.get(), false)) {
        warn(LoadStr(kMsgLibraryInitFailed), LoadStr(kMsgInitCaption));
        return 1;
    }
    // --- end of the calendar data file block ---
    // An installed program cannot write its own folder: its settings and
    // member list then live in the user's folders.
    paths = LocateProgramFiles(paths.programFile);
    MakeUserFolders(paths);
    QuitOnTerminationSignals();

    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(QString::fromStdString(AppFileDescription()));
    try {
        TTodayMirvo window(paths);
        window.show();
        QApplication::exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QString::fromStdString(AppFileDescription()), QString::fromUtf8(e.what()));
    }
    return 0;
}

} // namespace mirvo
