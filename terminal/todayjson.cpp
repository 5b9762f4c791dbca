#include "terminal/todayjson.h"

#include "base/stringtable.h"
#include "koyomi/aspects.h"
#include "koyomi/calendar.h"
#include "koyomi/holidays.h"
#include "members/numbertext.h"

#include <cmath>
#include <cstdio>
#include <string_view>
#include <utility>

namespace mirvo {

namespace {

constexpr const char* kAxisKeys[kAxisCount] = {"health", "feeling", "intellect"};
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;
constexpr char32_t kFirstThreeByte = 0x800;   // the first character UTF-8 writes in three bytes

// Writes JSON text with two-space indentation; the caller keeps the nesting
// sound, the writer the commas and the line breaks.
class TJsonWriter {
public:
    void BeginObject(std::string_view key = {}) { Open(key, '{'); }
    void EndObject() { Close('}'); }
    void BeginArray(std::string_view key = {}) { Open(key, '['); }
    void EndArray() { Close(']'); }

    void String(std::string_view key, std::string_view value)
    {
        Key(key);
        AppendQuoted(value);
    }
    void Integer(std::string_view key, long long value) { Raw(key, std::to_string(value)); }
    void Boolean(std::string_view key, bool value) { Raw(key, value ? "true" : "false"); }
    void Null(std::string_view key) { Raw(key, "null"); }
    // A number in the settings file's form (up to 15 significant digits).
    void Number(std::string_view key, double value) { Raw(key, FormatGeneralNumber(value)); }
    // An array on one line.
    template <typename Range, typename Format>
    void InlineArray(std::string_view key, const Range& values, Format format)
    {
        std::string text = "[";
        for (const auto& v : values)
            text += (text.size() > 1 ? ", " : "") + format(v);
        Raw(key, text + "]");
    }

    // The text, ended by a line break; the writer is done with it.
    std::string Text() &&
    {
        FText += '\n';
        return std::move(FText);
    }

private:
    void Open(std::string_view key, char bracket)
    {
        Key(key);
        FText += bracket;
        FFirst = true;
        ++FDepth;
    }
    void Close(char bracket)
    {
        --FDepth;
        if (!FFirst)
            NewLine();
        FText += bracket;
        FFirst = false;
    }
    void Raw(std::string_view key, std::string_view value)
    {
        Key(key);
        FText += value;
    }
    // The separator before a value and its key, if it has one; the value is
    // written next.
    void Key(std::string_view key)
    {
        if (!FFirst)
            FText += ',';
        if (FDepth > 0)
            NewLine();
        if (!key.empty()) {
            AppendQuoted(key);
            FText += ": ";
        }
        FFirst = false;
    }
    void NewLine()
    {
        FText += '\n';
        FText.append(static_cast<std::size_t>(2 * FDepth), ' ');
    }

    void AppendQuoted(std::string_view text)
    {
        FText += '"';
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            const auto u = static_cast<unsigned char>(c);
            if (c == '"' || c == '\\') {
                FText += '\\';
                FText += c;
            } else if (u < kFirstPrintable || u == kDelete) {
                AppendEscape(u);
            } else if (const char32_t escaped = EscapedAt(text, i); escaped != 0) {
                // Allowed raw in JSON, but obeyed by a terminal that shows
                // it, or taken as a line break by JavaScript before ES2019.
                AppendEscape(escaped);
                i += escaped < kFirstThreeByte ? 1 : 2;
            } else {
                FText += c;
            }
        }
        FText += '"';
    }

    // The C1 control (U+0080-U+009F) or line or paragraph separator
    // (U+2028, U+2029) whose UTF-8 starts at text[i]; 0 for any other.
    static char32_t EscapedAt(std::string_view text, std::size_t i)
    {
        const auto at = [&](std::size_t k) { return k < text.size() ? static_cast<unsigned char>(text[k]) : 0U; };
        if (at(i) == 0xC2 && at(i + 1) >= 0x80 && at(i + 1) <= 0x9F)
            return at(i + 1);
        if (at(i) == 0xE2 && at(i + 1) == 0x80 && (at(i + 2) == 0xA8 || at(i + 2) == 0xA9))
            return 0x2000 + (at(i + 2) - 0x80);
        return 0;
    }

    void AppendEscape(char32_t c)
    {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
        FText += escape;
    }

    std::string FText;
    int FDepth = 0;
    bool FFirst = true;
};

std::string HexColour(std::uint32_t bgr)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
    return text;
}

std::string TimeText(koyomi::TDateTime value)
{
    return koyomi::FormatDateTime("hh:nn:ss", value);
}

void WriteMember(TJsonWriter& json, const TodayMember& member, const TSunSign& sign,
                 std::string_view key = "member")
{
    json.BeginObject(key);
    json.Integer("index", member.index);
    json.String("name", member.item.Name);
    json.Integer("sex", member.item.Sex);
    json.String("birthday", IsoDate(member.item.Birthday));
    json.String("birthTime", TimeText(member.item.Birthday));
    json.Boolean("timeKnown", member.item.TimeKnown);
    json.String("memo", member.item.Memo);
    json.Integer("signIndex", sign.index);
    json.String("sign", sign.name);
    json.String("signSymbol", sign.symbol);
    json.Integer("guardianPlanetIndex", sign.guardianPlanet);
    json.String("guardianPlanet", sign.guardianPlanetName);
    json.EndObject();
}

void WriteSettings(TJsonWriter& json, const EvalSettings& settings)
{
    // The settings file cannot hold a value that is not finite; JSON writes none as null.
    const auto number = [](float v) { return std::isfinite(v) ? FormatGeneralNumber(v) : std::string("null"); };
    json.BeginObject("settings");
    json.InlineArray("bioCycle", settings.bioCycle, number);
    json.InlineArray("planetWeight", settings.planetWeight, number);
    json.InlineArray("planetUse", settings.planetUse, [](bool v) { return std::string(v ? "true" : "false"); });
    json.EndObject();
}

void WriteAxis(TJsonWriter& json, int k, const TDayReading& r, const AxisVerdict& v)
{
    json.BeginObject();
    json.String("axis", kAxisKeys[k]);
    json.Integer("bioPercent", r.BioPercent[k]);
    json.Integer("bioPhase", r.BioPhase[k]);
    json.Integer("starTotal", r.StarTotal[k]);
    json.InlineArray("starScores", r.StarScore[k], [](std::int32_t s) { return std::to_string(s); });
    json.String("face", FaceGlyph(v.face));
    json.String("faceSymbol", FaceSymbol(v.face));
    json.Integer("faceColour", v.colour);
    json.String("faceColourRGB", HexColour(v.colour));
    json.Integer("ratingId", RatingId(v.rating));
    json.String("rating", RatingText(v.rating));
    json.Integer("pickedBody", v.pickedBody);
    json.EndObject();
}

void WriteDay(TJsonWriter& json, const TodayDay& day, std::string_view key = {})
{
    const TDayReading& r = day.evaluation.reading;
    const TDayVerdict& v = day.evaluation.verdict;
    json.BeginObject(key);
    json.String("date", IsoDate(day.date));
    const koyomi::DateParts d = koyomi::DecodeDate(day.date);
    const koyomi::THoliday holiday = koyomi::JapaneseHoliday(d.year, d.month, d.day);
    if (holiday != koyomi::hoNone)
        json.String("holiday", koyomi::HolidayName(holiday));
    else
        json.Null("holiday");
    json.Integer("daysSinceBirth", static_cast<long long>(day.evaluation.daysSinceBirth));
    json.BeginArray("axes");
    for (int k = 0; k < kAxisCount; ++k)
        WriteAxis(json, k, r, v.axes[k]);
    json.EndArray();
    json.BeginObject("advice");
    json.Integer("id", v.adviceId);
    json.String("text", v.adviceId ? LoadStr(v.adviceId) : std::string());
    json.EndObject();
    json.EndObject();
}

void WriteAspect(TJsonWriter& json, const PairAspect& a)
{
    json.BeginObject("strongestAspect");
    json.Boolean("found", a.body != kNoBody);
    json.String("direction", a.secondToFirst ? "secondToFirst" : "firstToSecond");
    json.Integer("natalBody", a.axis);
    json.Integer("body", a.body);
    json.Integer("aspect", a.aspect);
    json.Integer("aspectAngle", a.aspect >= 0 ? koyomi::AspectAngle[a.aspect] : 0);
    json.String("aspectName", a.aspect >= 0 ? LoadStr(kAspectNameBase + a.aspect) : std::string());
    json.Integer("angle", koyomi::RoundToInt(a.angle));
    json.Integer("points", a.points);
    json.EndObject();
}

void WritePair(TJsonWriter& json, const TPairCompatibility& pair, const std::string& firstName,
               const std::string& secondName)
{
    const auto scores = [](std::int32_t s) { return std::to_string(s); };
    json.BeginObject("pair");
    json.Integer("daysApart", static_cast<long long>(pair.daysApart));
    json.BeginArray("axes");
    for (int k = 0; k < kAxisCount; ++k) {
        const PairAxis& a = pair.axes[k];
        json.BeginObject();
        json.String("axis", kAxisKeys[k]);
        json.Integer("bioCompatibility", a.bioCompatibility);
        json.Integer("starScore", a.starScore);
        json.InlineArray("starScoresFirstToSecond", a.firstToSecond, scores);
        json.InlineArray("starScoresSecondToFirst", a.secondToFirst, scores);
        WriteAspect(json, a.strongest);
        json.String("strongestAspectText", PairAspectText(a.strongest, firstName, secondName));
        json.Integer("level", a.level);
        json.Integer("ratingId", kPairRatingBase + a.level);
        json.String("rating", LoadStr(kPairRatingBase + a.level));
        json.EndObject();
    }
    json.EndArray();
    json.Integer("bioCompatibility", pair.bioCompatibility);
    json.Integer("starScore", pair.starScore);
    json.Integer("level", pair.level);
    json.Integer("ratingId", kPairRatingBase + pair.level);
    json.String("rating", LoadStr(kPairRatingBase + pair.level));
    json.Integer("sentenceId", pair.sentenceId);
    json.String("sentence", LoadStr(pair.sentenceId));
    json.EndObject();
}

} // namespace

std::string PairJson(const TodayPairReport& report)
{
    TJsonWriter json;
    json.BeginObject();
    json.String("format", kTodayJsonFormat);
    json.BeginArray("members");
    for (int m = 0; m < 2; ++m)
        WriteMember(json, report.members[m], report.signs[m], {});
    json.EndArray();
    WriteSettings(json, report.settings);
    WritePair(json, report.pair, PairName(report.members[0].item), PairName(report.members[1].item));
    if (report.nextGood) {
        json.BeginArray("days");
        if (report.goodDay) {
            const PairDay& d = *report.goodDay;
            json.BeginObject();
            json.String("date", IsoDate(d.date));
            json.BeginArray("readings");
            const Evaluation* both[2] = {&d.first, &d.second};
            for (int m = 0; m < 2; ++m)
                WriteDay(json, {d.date, *both[m]});
            json.EndArray();
            json.EndObject();
        }
        json.EndArray();
    }
    json.EndObject();
    return std::move(json).Text();
}

std::string IsoDate(koyomi::TDateTime value)
{
    return koyomi::FormatDateTime("yyyy'-'mm'-'dd", value);
}

std::string ReportJson(const TodayReport& report)
{
    TJsonWriter json;
    json.BeginObject();
    json.String("format", kTodayJsonFormat);
    WriteMember(json, report.member, report.sign);
    WriteSettings(json, report.settings);
    json.BeginArray("days");
    for (const TodayDay& day : report.days)
        WriteDay(json, day);
    json.EndArray();
    json.EndObject();
    return std::move(json).Text();
}

} // namespace mirvo
