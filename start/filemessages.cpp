#include "start/filemessages.h"

#include "base/messages.h"
#include "base/stringtable.h"
#include "members/backups.h"

namespace mirvo {

namespace {

std::string Reason(const TLineProblem& problem, TMemberFileEncoding encoding)
{
    switch (problem.kind) {
    case lpTooFewFields:
        return LoadStr(kMsgTooFewFields);
    case lpNulByte:
        return LoadStr(kMsgNulByte);
    case lpOpenQuote:
        return LoadStr(kMsgOpenQuote);
    case lpUndecodable:
        return FormatStr(kMsgUndecodable, {LoadStr(kTextEncodingNames + encoding)});
    case lpUnsavable:
        return problem.text;
    case lpBadDate:
        return FormatStr(kMsgFieldNotADate, {problem.text});
    case lpBadTime:
        return FormatStr(kMsgFieldNotATime, {problem.text});
    case lpSexCode:
    case lpHeaderLine:
        break;
    }
    return problem.text;
}

} // namespace

std::vector<std::string> MemberFileMessages(const std::filesystem::path& file, const TMemberFileReport& report,
                                            TMemberFileUse use)
{
    const std::string path = file.string();
    std::vector<std::string> messages;
    if (report.cut)
        messages.push_back(FormatStr(kMsgMemberFileCut, {path, std::to_string(kMaxMemberFileBytes)}));
    for (const TLineProblem& problem : report.problems) {
        const std::string line = std::to_string(problem.line);
        if (problem.kind == lpSexCode)
            messages.push_back(FormatStr(kMsgSexCode, {path, line, problem.text}));
        else if (problem.kind == lpHeaderLine)
            messages.push_back(FormatStr(kMsgHeaderLine, {path, line, problem.text}));
        else
            messages.push_back(FormatStr(kMsgLineNotRead, {path, line, Reason(problem, report.encoding)}));
    }
    if (use == fmReadOnly)
        return messages;
    if (report.encoding != feShiftJis)
        messages.push_back(FormatStr(kMsgOtherEncoding, {path, LoadStr(kTextEncodingNames + report.encoding)}));
    // The file as it is goes among its copies before a save replaces it; a
    // header line alone loses nothing.
    if (!report.Complete())
        messages.push_back(FormatStr(kMsgBackupWillBeKept, {BackupFolderOf(file).string()}));
    return messages;
}

std::vector<std::string> MemberSaveMessages(const std::filesystem::path& file, const TMemberSaveReport& report)
{
    std::vector<std::string> messages;
    if (report.changedOnDisk)
        messages.push_back(FormatStr(kMsgChangedOnDisk, {file.string(), report.writtenTo.string()}));
    if (!report.backup.empty())
        messages.push_back(FormatStr(kMsgBackupKept, {file.string(), report.backup.string()}));
    return messages;
}

std::vector<std::string> SettingsReadMessages(const std::filesystem::path& file, const TSettingsReadReport& report)
{
    const std::string path = file.string();
    std::vector<std::string> messages;
    if (report.unreadable) {
        messages.push_back(FormatStr(kMsgFileUnreadable, {path}));
        messages.push_back(LoadStr(kMsgDefaultsUsed));
        return messages;
    }
    if (report.cut)
        messages.push_back(FormatStr(kMsgSettingsCut, {path, std::to_string(kMaxSettingsFileBytes)}));
    for (const std::size_t line : report.longLines)
        messages.push_back(FormatStr(kMsgSettingsLongLine, {path, std::to_string(line)}));
    for (const auto& [key, value] : report.weightsRefused)
        messages.push_back(FormatStr(kMsgWeightRefused, {path, key, value}));
    return messages;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        if (!text.empty())
            text += '\n';
        text += line;
    }
    return text;
}

} // namespace mirvo
