#include "terminal/todayall.h"

#include "base/harmlesstext.h"
#include "base/stringtable.h"
#include "base/utf8.h"
#include "members/numbertext.h"
#include "terminal/console.h"
#include "terminal/terminaltext.h"
#include "terminal/todayjson.h"
#include "version/appinfo.h"

#include <algorithm>
#include <cstdlib>

namespace mirvo {

namespace {

constexpr const char* kEllipsis = "…";
constexpr int kEllipsisColumns = 1;
constexpr int kFaceColumns = 2;  // 💣 takes two
constexpr int kWideGap = 2;
constexpr int kNarrowGap = 1;

// One member's figures as the cells of its line.
struct Row {
    std::string name;
    std::string faces[kAxisCount];
    std::string percents[kAxisCount];
    std::string ratings[kAxisCount];
    std::string totals[kAxisCount];
};

// How wide each column is, and which are shown.
struct Layout {
    int gap = kWideGap;
    bool ratings = true;
    int name = 0;
    int percent = 0;
    int rating = 0;
    int total = 0;
    int axisHead = 0;

    int AxisColumns() const
    {
        const int cell = kFaceColumns + 1 + percent + (ratings ? 1 + rating : 0);
        return std::max(cell, axisHead);
    }
    int TotalColumns() const { return total; }
    // Everything but the name column.
    int Rest() const { return kAxisCount * (gap + AxisColumns()) + kAxisCount * (gap + TotalColumns()); }
};

int Widest(int start, const std::string& text)
{
    return std::max(start, DisplayWidth(text));
}

std::string TrimEnd(std::string line)
{
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

Row MakeRow(const TodayReport& report, bool colour)
{
    Row row;
    // The name comes from a file: shown, never obeyed by the terminal.
    row.name = report.member.item.Name.empty() ? LoadStr(kTextNoName) : HarmlessText(report.member.item.Name);
    const Evaluation& e = report.days.front().evaluation;
    for (int k = 0; k < kAxisCount; ++k) {
        row.faces[k] = Coloured(FaceSymbol(e.verdict.axes[k].face), e.verdict.axes[k].colour, colour);
        row.percents[k] = std::to_string(e.reading.BioPercent[k]) + "%";
        row.ratings[k] = RatingText(e.verdict.axes[k].rating);
        row.totals[k] = std::to_string(e.reading.StarTotal[k]) + LoadStr(kTextPoints);
    }
    return row;
}

std::string AxisHead(int k, bool colour)
{
    return Coloured(AxisName(k), AxisColour(k), colour);
}

std::string StarHead(int k)
{
    return LoadStr(kTextStarHeadPrefix) + AxisName(k);
}

// The widest layout that fits `width`, in the order of what gives way first.
Layout ChooseLayout(const std::vector<Row>& rows, int width)
{
    Layout natural;
    natural.name = DisplayWidth(LoadStr(kTextNameHead));
    for (int k = 0; k < kAxisCount; ++k) {
        natural.axisHead = Widest(natural.axisHead, AxisName(k));
        natural.total = Widest(natural.total, StarHead(k));
    }
    for (const Row& row : rows) {
        natural.name = Widest(natural.name, row.name);
        for (int k = 0; k < kAxisCount; ++k) {
            natural.percent = Widest(natural.percent, row.percents[k]);
            natural.rating = Widest(natural.rating, row.ratings[k]);
            natural.total = Widest(natural.total, row.totals[k]);
        }
    }
    const int smallestName = std::min(natural.name, kMinNameColumns);
    const struct {
        int gap;
        bool ratings;
    } steps[] = {{kWideGap, true}, {kNarrowGap, true}, {kNarrowGap, false}};
    Layout chosen = natural;
    for (const auto& step : steps) {
        chosen = natural;
        chosen.gap = step.gap;
        chosen.ratings = step.ratings;
        chosen.name = std::min(natural.name, width - chosen.Rest());
        if (chosen.name >= smallestName)
            return chosen;
    }
    chosen.name = smallestName;
    return chosen;
}

std::string NameCell(const std::string& name, const Layout& layout)
{
    return PadRight(CutToWidth(name, layout.name), layout.name);
}

std::string AxisCell(const Row& row, int k, const Layout& layout)
{
    std::string cell = PadRight(row.faces[k], kFaceColumns) + " " + PadLeft(row.percents[k], layout.percent);
    if (layout.ratings)
        cell += " " + row.ratings[k];
    return PadRight(cell, layout.AxisColumns());
}

std::string Line(const std::string& name, const std::string (&axes)[kAxisCount],
                 const std::string (&totals)[kAxisCount], const Layout& layout)
{
    const std::string gap(layout.gap, ' ');
    std::string line = name;
    for (int k = 0; k < kAxisCount; ++k)
        line += gap + axes[k];
    for (int k = 0; k < kAxisCount; ++k)
        line += gap + PadLeft(totals[k], layout.TotalColumns());
    return TrimEnd(line) + "\n";
}

} // namespace

std::vector<TodayReport> AllMembersReports(const TMemberList& members, const EvalSettings& settings,
                                           koyomi::TDateTime day)
{
    std::vector<TodayReport> reports;
    for (int i = 0; i < members.Count(); ++i) {
        TodayMember member;
        member.index = i;
        member.item.Assign(members.Items(i));
        reports.push_back(MakeReport(member, settings, day, 1));
    }
    return reports;
}

std::string AllMembersText(const std::vector<TodayReport>& reports, koyomi::TDateTime day, int width, bool colour)
{
    std::string out = AppFileDescription() + "  " + koyomi::DateToFileText(day) + "\n";
    if (reports.empty())
        return out + LoadStr(kTextNoMembers) + "\n";
    std::vector<Row> rows;
    for (const TodayReport& report : reports)
        rows.push_back(MakeRow(report, colour));
    const Layout layout = ChooseLayout(rows, width);

    std::string axisHeads[kAxisCount];
    std::string starHeads[kAxisCount];
    for (int k = 0; k < kAxisCount; ++k) {
        axisHeads[k] = PadRight(AxisHead(k, colour), layout.AxisColumns());
        starHeads[k] = StarHead(k);
    }
    out += Line(PadRight(LoadStr(kTextNameHead), layout.name), axisHeads, starHeads, layout);
    for (const Row& row : rows) {
        std::string cells[kAxisCount];
        for (int k = 0; k < kAxisCount; ++k)
            cells[k] = AxisCell(row, k, layout);
        out += Line(NameCell(row.name, layout), cells, row.totals, layout);
    }
    return out;
}

std::string AllMembersJson(const std::vector<TodayReport>& reports)
{
    // Each reading's own lines, one level deeper.
    std::string out = "[";
    for (std::size_t i = 0; i < reports.size(); ++i) {
        out += i == 0 ? "\n" : ",\n";
        std::string object = ReportJson(reports[i]);
        if (!object.empty() && object.back() == '\n')
            object.pop_back();
        std::size_t start = 0;
        while (start <= object.size()) {
            const std::size_t end = object.find('\n', start);
            const std::string line = object.substr(start, end == std::string::npos ? std::string::npos : end - start);
            out += "  " + line;
            if (end == std::string::npos)
                break;
            out += "\n";
            start = end + 1;
        }
    }
    return out + (reports.empty() ? "]\n" : "\n]\n");
}

std::string CutToWidth(const std::string& text, int width)
{
    if (DisplayWidth(text) <= width)
        return text;
    std::string kept;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t length = std::max<std::size_t>(koyomi::ReadUtf8(text, pos).length, 1);
        const std::string next = text.substr(pos, length);
        if (DisplayWidth(kept + next) + kEllipsisColumns > width)
            break;
        kept += next;
        pos += length;
    }
    return width >= kEllipsisColumns ? kept + kEllipsis : kept;
}

int TerminalWidth()
{
    if (const char* columns = std::getenv("COLUMNS")) {
        if (const auto value = ParseDecimalInt(columns); value && *value > 0)
            return *value;
    }
    if (const auto columns = ConsoleColumns())
        return *columns;
    return kDefaultTerminalWidth;
}

} // namespace mirvo
