#include "app/reading/filemessages.h"

#include "koyomi/base/stringtable.h"

namespace mirvo {

namespace {

constexpr int kMsgLineNotRead = 43400;
constexpr int kMsgTooFewFields = 43401;
constexpr int kMsgNulByte = 43402;
constexpr int kMsgOpenQuote = 43403;
constexpr int kMsgUndecodable = 43404;
constexpr int kMsgNotADate = 43405;
constexpr int kMsgNotATime = 43406;
constexpr int kMsgSexCode = 43407;
constexpr int kMsgLinesAfterStop = 43408;
constexpr int kMsgOtherEncoding = 43409;
constexpr int kTextEncodingNames = 43410;   // + TMemberFileEncoding
constexpr int kMsgBackupKept = 43415;
constexpr int kMsgChangedOnDisk = 43416;
constexpr int kMsgBackupWillBeKept = 43417;
constexpr int kMsgFileUnreadable = 41607;
constexpr int kMsgDefaultsUsed = 43420;
constexpr int kMsgSettingsCut = 43421;
constexpr int kMsgSettingsLongLine = 43422;

constexpr std::string_view kPlaceholder = "%s";

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
        return FormatArgs(LoadStr(kMsgUndecodable), {LoadStr(kTextEncodingNames + encoding)});
    case lpUnsavable:
        return problem.text;
    case lpBadDate:
        return FormatArgs(LoadStr(kMsgNotADate), {problem.text});
    case lpBadTime:
        return FormatArgs(LoadStr(kMsgNotATime), {problem.text});
    case lpSexCode:
        break;
    }
    return problem.text;
}

} // namespace

std::string FormatArgs(const std::string& pattern, const std::vector<std::string>& arguments)
{
    std::string out;
    std::size_t next = 0;
    std::size_t pos = 0;
    while (pos < pattern.size()) {
        const std::size_t at = pattern.find(kPlaceholder, pos);
        if (at == std::string::npos || next == arguments.size()) {
            out.append(pattern, pos);
            break;
        }
        out.append(pattern, pos, at - pos);
        out += arguments[next++];
        pos = at + kPlaceholder.size();
    }
    return out;
}

std::vector<std::string> MemberFileMessages(const std::filesystem::path& file, const TMemberFileReport& report,
                                            TMemberFileUse use)
{
    const std::string path = file.string();
    std::vector<std::string> messages;
    int stopLine = 0;
    for (const TLineProblem& problem : report.problems) {
        const std::string line = std::to_string(problem.line);
        if (problem.kind == lpSexCode) {
            messages.push_back(FormatArgs(LoadStr(kMsgSexCode), {path, line, problem.text}));
            continue;
        }
        messages.push_back(FormatArgs(LoadStr(kMsgLineNotRead), {path, line, Reason(problem, report.encoding)}));
        if (problem.kind == lpBadDate || problem.kind == lpBadTime)
            stopLine = problem.line;
    }
    if (report.linesAfterStop > 0)
        messages.push_back(FormatArgs(LoadStr(kMsgLinesAfterStop),
                                      {path, std::to_string(stopLine + 1), std::to_string(report.linesAfterStop)}));
    if (use == fmReadOnly)
        return messages;
    if (report.encoding != feShiftJis)
        messages.push_back(FormatArgs(LoadStr(kMsgOtherEncoding), {path, LoadStr(kTextEncodingNames + report.encoding)}));
    if (!messages.empty())
        messages.push_back(LoadStr(kMsgBackupWillBeKept));
    return messages;
}

std::vector<std::string> MemberSaveMessages(const std::filesystem::path& file, const TMemberSaveReport& report)
{
    std::vector<std::string> messages;
    if (report.changedOnDisk)
        messages.push_back(FormatArgs(LoadStr(kMsgChangedOnDisk), {file.string(), report.writtenTo.string()}));
    if (!report.backup.empty())
        messages.push_back(FormatArgs(LoadStr(kMsgBackupKept), {file.string(), report.backup.string()}));
    return messages;
}

std::vector<std::string> SettingsReadMessages(const std::filesystem::path& file, const TSettingsReadReport& report)
{
    const std::string path = file.string();
    std::vector<std::string> messages;
    if (report.unreadable) {
        messages.push_back(FormatArgs(LoadStr(kMsgFileUnreadable), {path}));
        messages.push_back(LoadStr(kMsgDefaultsUsed));
        return messages;
    }
    if (report.cut)
        messages.push_back(FormatArgs(LoadStr(kMsgSettingsCut), {path, std::to_string(kMaxSettingsFileBytes)}));
    for (const std::size_t line : report.longLines)
        messages.push_back(FormatArgs(LoadStr(kMsgSettingsLongLine), {path, std::to_string(line)}));
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
