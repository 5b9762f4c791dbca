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

namespace mirvo {

void ShowStartupWarning(const std::string& text, const std::string& caption)
{
    QMessageBox::warning(nullptr, QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::Ok);
}

int RunProgram(const std::filesystem::path& programDir, const WarningBox& warn)
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
        TTodayMirvo window(paths);
        window.show();
        QApplication::exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QString::fromStdString(AppFileDescription()), QString::fromUtf8(e.what()));
    }
    return 0;
}

} // namespace mirvo
