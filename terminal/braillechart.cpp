#include "terminal/braillechart.h"

#include "base/utf8.h"
#include "terminal/terminaltext.h"

#include <cstdint>
#include <cstdlib>
#include <optional>

namespace mirvo {

namespace {

constexpr int kCellWidth = 2;   // dots across a Braille cell
constexpr int kCellHeight = 4;  // dots down a Braille cell
constexpr char32_t kBrailleBlank = 0x2800;
constexpr int kDaysBetweenTicks = 5;
constexpr int kTickReach = 1;   // dots above and below the horizontal axis

// Bit of each dot of a cell, by row then column (the Unicode Braille order).
constexpr std::uint8_t kDotBits[kCellHeight][kCellWidth] = {
    {0x01, 0x08}, {0x02, 0x10}, {0x04, 0x20}, {0x40, 0x80}};

class TBrailleCanvas {
public:
    TBrailleCanvas(int dotWidth, int dotHeight)
        : FColumns((dotWidth + kCellWidth - 1) / kCellWidth), FRows((dotHeight + kCellHeight - 1) / kCellHeight),
          FBits(static_cast<std::size_t>(FColumns * FRows), 0),
          FColours(static_cast<std::size_t>(FColumns * FRows))
    {
    }

    // Sets one dot; dots off the canvas are left out.
    void Plot(int x, int y, std::optional<std::uint32_t> colour)
    {
        if (x < 0 || y < 0 || x >= FColumns * kCellWidth || y >= FRows * kCellHeight)
            return;
        const std::size_t cell = static_cast<std::size_t>((y / kCellHeight) * FColumns + x / kCellWidth);
        FBits[cell] |= kDotBits[y % kCellHeight][x % kCellWidth];
        if (colour)
            FColours[cell] = colour;
    }

    // A straight line with both end points (Bresenham).
    void Line(ChartPoint from, ChartPoint to, std::optional<std::uint32_t> colour)
    {
        const int dx = std::abs(to.x - from.x);
        const int dy = -std::abs(to.y - from.y);
        const int sx = from.x < to.x ? 1 : -1;
        const int sy = from.y < to.y ? 1 : -1;
        int error = dx + dy;
        for (ChartPoint p = from;;) {
            Plot(p.x, p.y, colour);
            if (p == to)
                break;
            const int twice = 2 * error;
            if (twice >= dy) {
                error += dy;
                p.x += sx;
            }
            if (twice <= dx) {
                error += dx;
                p.y += sy;
            }
        }
    }

    std::vector<std::string> Lines(bool colour) const
    {
        std::vector<std::string> lines;
        for (int row = 0; row < FRows; ++row) {
            std::string line;
            for (int column = 0; column < FColumns; ++column) {
                const std::size_t cell = static_cast<std::size_t>(row * FColumns + column);
                const std::string glyph = Glyph(FBits[cell]);
                line += FColours[cell] ? Coloured(glyph, *FColours[cell], colour) : glyph;
            }
            lines.push_back(line);
        }
        return lines;
    }

private:
    // An empty cell is a blank, so that copied text stays clean.
    static std::string Glyph(std::uint8_t bits)
    {
        if (bits == 0)
            return " ";
        return koyomi::Utf8Of(kBrailleBlank + bits);  // U+2801..U+28FF
    }

    int FColumns;
    int FRows;
    std::vector<std::uint8_t> FBits;
    std::vector<std::optional<std::uint32_t>> FColours;
};

} // namespace

std::vector<std::string> DrawBrailleChart(const BioChart& chart, bool colour)
{
    // One dot more each way: the chart's far edges (the last sample, the
    // bottom of the vertical axis) lie on them.
    TBrailleCanvas canvas(chart.width + 1, chart.height);
    for (const ChartLine& axis : chart.axes)
        canvas.Line(axis.from, axis.to, std::nullopt);
    // The window's ticks stand a few pixels apart; two dots apart they would
    // merge into a band, so the terminal keeps every fifth, one dot each way.
    for (std::size_t i = 0; i < chart.ticks.size(); i += kDaysBetweenTicks) {
        const int x = chart.ticks[i].from.x;
        canvas.Line({x, chart.height / 2 - kTickReach}, {x, chart.height / 2 + kTickReach}, std::nullopt);
    }
    for (int k = 0; k < kAxisCount; ++k) {
        const auto& curve = chart.curves[k];
        for (std::size_t j = 1; j < curve.size(); ++j)
            canvas.Line(curve[j - 1], curve[j], AxisColour(k));
    }
    return canvas.Lines(colour);
}

std::vector<std::string> DrawBrailleChart(const Cycles& cycles, double dayCount, bool colour)
{
    return DrawBrailleChart(MakeBioChart(kBrailleChartWidth, kBrailleChartHeight, cycles, dayCount), colour);
}

} // namespace mirvo
