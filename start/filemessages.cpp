#include "start/filemessages.h"

#include "base/messages.h"
#include "base/stringtable.h"

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
    int stopLine = 0;
    for (const TLineProblem& problem : report.problems) {
        const std::string line = std::to_string(problem.line);
        if (problem.kind == lpSexCode) {
            messages.push_back(FormatStr(kMsgSexCode, {path, line, problem.text}));
            continue;
        }
        messages.push_back(FormatStr(kMsgLineNotRead, {path, line, Reason(problem, report.encoding)}));
        if (problem.kind == lpBadDate || problem.kind == lpBadTime)
            stopLine = problem.line;
    }
    if (report.linesAfterStop > 0)
        messages.push_back(FormatStr(kMsgLinesAfterStop,
                                     {path, std::to_string(stopLine + 1), std::to_string(report.linesAfterStop)}));
    if (use == fmReadOnly)
        return messages;
    if (report.encoding != feShiftJis)
        messages.push_back(FormatStr(kMsgOtherEncoding, {path, LoadStr(kTextEncodingNames + report.encoding)}));
    if (!messages.empty())
        messages.push_back(LoadStr(kMsgBackupWillBeKept));
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
