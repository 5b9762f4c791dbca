// The positions of several bodies at one clock reading, the Sun's sums once
// for all of them (every body's position needs the Sun's).
#pragma once

#include <cstdint>
#include <span>

namespace koyomi {

// A geocentric position: distance AU, latitude degrees [-90, 90), longitude
// degrees [0, 360).
struct TBodyPosition {
    float distance = 0.0f;
    float latitude = 0.0f;
    float longitude = 0.0f;
};

// BodyPosition (koyomi/positions.h) of bodies 0, 1, ... (as many as
// `positions` holds; past Pluto zero) at one Japan-time clock reading on a
// calendar date. Each position equals BodyPosition's.
void BodyPositions(std::span<TBodyPosition> positions, std::int16_t year, std::int16_t month, std::int16_t day,
                   std::int8_t second, std::int8_t minute, std::int8_t hour);

} // namespace koyomi
