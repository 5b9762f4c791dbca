#include "start/startreport.h"

#include "base/messages.h"
#include "base/stringtable.h"
#include "base/utf8.h"
#include "base/wholefile.h"
#include "start/filemessages.h"

namespace mirvo {

namespace {

constexpr std::string_view kEllipsis = "\xE2\x80\xA6";

bool IsContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Characters that would act instead of show: controls and the bidirectional
// overrides and isolates, which could make a file name read backwards.
bool Acts(char32_t c)
{
    return (c < 0x20 && c != '\t') || (c >= 0x7F && c <= 0x9F) || (c >= 0x202A && c <= 0x202E)
           || (c >= 0x2066 && c <= 0x2069) || c == 0x200E || c == 0x200F;
}

} // namespace

std::string VisibleText(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const koyomi::Utf8Sequence c = koyomi::ReadUtf8(text, pos);
        // A byte that starts no sound sequence is one character of its own.
        const std::size_t length = c.length > 0 && c.sound ? c.length : 1;
        if (length == 1 && static_cast<unsigned char>(text[pos]) >= 0x80)
            out += "\xEF\xBF\xBD";
        else if (Acts(c.code))
            out += "\xEF\xBF\xBD";
        else
            out.append(text, pos, length);
        pos += length;
    }
    return out;
}

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
        shown.push_back(VisibleText(part));
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
