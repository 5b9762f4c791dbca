#include "start/startreport.h"

#include "base/harmlesstext.h"
#include "base/messages.h"
#include "base/stringtable.h"
#include "base/wholefile.h"
#include "start/filemessages.h"

namespace mirvo {

namespace {

constexpr std::string_view kEllipsis = "\xE2\x80\xA6";

bool IsContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

std::string CutText(const std::string& text, std::size_t characters)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsContinuation(text[i]))
            continue;
        if (count == characters)
            return text.substr(0, i) + std::string(kEllipsis);
        ++count;
    }
    return text;
}

TStartReport ShortStartReport(const std::vector<std::string>& messages, const std::filesystem::path& logFile)
{
    TStartReport report;
    std::vector<std::string> shown;
    bool cut = false;
    for (std::size_t i = 0; i < messages.size() && i < kShownStartMessages; ++i) {
        const std::string part = CutText(messages[i], kShownMessageCharacters);
        cut = cut || part.size() != messages[i].size();
        shown.push_back(HarmlessText(part));
    }
    const std::size_t left = messages.size() - shown.size();
    if (left > 0 || cut) {
        std::string all;
        for (const std::string& message : messages) {
            all += message;
            all += '\n';
        }
        if (!logFile.empty() && ReplaceWholeFile(logFile, all))
            report.logFile = logFile;
        if (left == 0)
            shown.push_back(report.logFile.empty() ? std::string() : FormatStr(kMsgAllInLog, {logFile.string()}));
        else if (report.logFile.empty())
            shown.push_back(FormatStr(kMsgMoreNoLog, {std::to_string(left)}));
        else
            shown.push_back(FormatStr(kMsgMoreInLog, {std::to_string(left), logFile.string()}));
        if (shown.back().empty())
            shown.pop_back();
    }
    report.text = JoinLines(shown);
    return report;
}

std::string SharedFolderMessage(const ProgramPaths& paths)
{
    return FormatStr(kMsgSharedFolder, {paths.sharedFolder.string(), paths.SettingsFile().string(),
                                                  paths.MemberFile().string()});
}

} // namespace mirvo
