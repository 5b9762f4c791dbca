// The day's reading and verdict: biorhythm, star scores, faces, ratings and
// the advice sentence, computed without any window so that every front end
// shows the same thing.
#pragma once

#include "base/messages.h"
#include "koyomi/datetime.h"
#include "members/options.h"
#include "reading/biorhythm.h"
#include "reading/meaning.h"

#include <array>
#include <cstdint>
#include <string>

namespace mirvo {

constexpr int kBodyCount = kPlanetCount;  // 0 Sun, 1 Moon, 2 Mercury ... 9 Pluto
constexpr int kNoBody = -1;

// Every position the program takes is taken at 12:00:00 Japan time (UTC+9)
// of its date: the day's bodies, the birth bodies and the sun sign.
constexpr std::int8_t kNoonHour = 12;  // hours, Japan Standard Time

using BodyTable = std::array<std::int32_t, kBodyCount>;

// The evaluation record of one day.
struct TDayReading {
    std::array<std::int32_t, kAxisCount> BioPercent{};  // percent, -100..100
    std::array<std::int32_t, kAxisCount> BioPhase{};    // degrees, 0..360 (-360..0 before the birth day)
    std::array<std::int32_t, kAxisCount> StarTotal{};   // points: rounded weighted total of the used bodies
    std::array<BodyTable, kAxisCount> StarScore{};      // points: rounded weighted score of every body, used or not
};

// What the evaluation reads from the settings.
struct EvalSettings {
    Cycles bioCycle = kDefaultBioCycle;                  // days, by axis
    TPlanetWeights planetWeight = kDefaultPlanetWeight;  // factor on each body's aspect points
    TPlanetUses planetUse = kDefaultPlanetUse;           // whether each body counts in the totals
};

struct AxisVerdict {
    TFace face = TFace::Good;
    std::uint32_t colour = kColourWhite;  // 0x00BBGGRR
    TRatingLevel rating = TRatingLevel::Average;
    int pickedBody = kNoBody;  // the body whose advice the rating chose, or -1
};

struct TDayVerdict {
    std::array<AxisVerdict, kAxisCount> axes{};
    int adviceId = 0;          // string-table number of the advice sentence; 0: no advice
};

struct Evaluation {
    double daysSinceBirth = 0;  // whole days from the birth day to the day, negative before it
    TDayReading reading;
    TDayVerdict verdict;
};

// Ecliptic latitude and longitude in degrees (latitude [-90, 90), longitude
// [0, 360)) at 12:00:00 Japan time of the birth date of the Sun, the Moon and
// Mercury: the reference of the health, feeling and intellect axes. Only the
// date part of the birthday takes part.
struct NatalPositions {
    std::array<float, kAxisCount> latitude{};
    std::array<float, kAxisCount> longitude{};
};
NatalPositions BirthPositions(koyomi::TDateTime birthday);

// Body positions at 12:00:00 Japan time of the birth date and of the day,
// scored by aspect and weighted. Only the date parts take part.
void CalcStarScores(koyomi::TDateTime birthday, koyomi::TDateTime day, const EvalSettings& settings,
                    TDayReading& reading);
// The same with the birth positions computed beforehand, for a run of days of one member.
void CalcStarScores(const NatalPositions& natal, koyomi::TDateTime day, const EvalSettings& settings,
                    TDayReading& reading);

// The used body with the highest (lowest) score on an axis; ties keep the
// lower body index; -1 when no body is used.
int StrongestPlanet(int axis, const TDayReading& reading, const std::array<bool, kBodyCount>& use);
int WeakestPlanet(int axis, const TDayReading& reading, const std::array<bool, kBodyCount>& use);

// Face of a phase angle and its colour from the percent.
TFace FaceOfPhase(std::int32_t phase);
std::uint32_t FaceColour(std::int32_t percent);

// Ratings per axis and the advice from a complete reading.
TDayVerdict MakeVerdict(const TDayReading& reading, const std::array<bool, kBodyCount>& use);

// The whole evaluation of a member born on `birthday` for `day`.
Evaluation Evaluate(koyomi::TDateTime birthday, koyomi::TDateTime day, const EvalSettings& settings);
// The same with the member's birth positions computed beforehand; `natal`
// must be BirthPositions(birthday).
Evaluation Evaluate(const NatalPositions& natal, koyomi::TDateTime birthday, koyomi::TDateTime day,
                    const EvalSettings& settings);

} // namespace mirvo
