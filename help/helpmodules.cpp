#include "help/helpmodules.h"

#include "help/htmlhelpviewer.h"

#include <map>

namespace mirvo {

struct THelpModule {
    QString name;
    std::vector<std::pair<QString, THelpProc>> procs;
};

namespace {

// WinHelp does not exist on this platform: every request fails, so the
// routing rules decide what is reported.
bool NoWinHelp(QWidget*, const QString&, unsigned, quintptr)
{
    return false;
}

using TModuleTable = std::map<QString, THelpModuleHandle>;

QString TableKey(const QString& name)
{
    return name.toUpper();
}

TModuleTable DefaultTable()
{
    TModuleTable table;
    table[TableKey(kHtmlHelpModule)] = std::make_shared<const THelpModule>(THelpModule{
        kHtmlHelpModule, {{kHtmlHelpProc, reinterpret_cast<THelpProc>(&HtmlHelpViewer)}}});
    table[TableKey(kWinHelpModule)] = std::make_shared<const THelpModule>(THelpModule{
        kWinHelpModule, {{kWinHelpProc, reinterpret_cast<THelpProc>(&NoWinHelp)}}});
    return table;
}

TModuleTable& Table()
{
    static TModuleTable table = DefaultTable();
    return table;
}

} // namespace

THelpModuleHandle LoadHelpModule(const QString& name)
{
    const auto it = Table().find(TableKey(name));
    return it == Table().end() ? nullptr : it->second;
}

THelpProc GetHelpProcAddress(const THelpModuleHandle& module, const QString& procName)
{
    if (!module)
        return nullptr;
    for (const auto& [procNameInModule, proc] : module->procs) {
        if (procNameInModule == procName)
            return proc;
    }
    return nullptr;
}

void InstallHelpModule(const QString& name, std::vector<std::pair<QString, THelpProc>> procs)
{
    Table()[TableKey(name)] = std::make_shared<const THelpModule>(THelpModule{name, std::move(procs)});
}

void RemoveHelpModule(const QString& name)
{
    Table().erase(TableKey(name));
}

void ResetHelpModules()
{
    Table() = DefaultTable();
}

bool WinHelpA(QWidget* owner, const QString& file, unsigned command, quintptr data)
{
    const auto winHelp = reinterpret_cast<TWinHelpA>(
        GetHelpProcAddress(LoadHelpModule(kWinHelpModule), kWinHelpProc));
    return winHelp != nullptr && winHelp(owner, file, command, data);
}

} // namespace mirvo
