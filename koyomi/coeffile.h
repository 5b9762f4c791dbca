// The coefficient text file: the reviewable source of the KOYOMI block.
//
// One term a line, whitespace separated:
//     term  quantity  amplitude  rate  phase
// term is 1..672 (each exactly once), quantity a label without blanks (for
// example "sun.lon", "moon.parallax", "unused"), and the three numbers are
// decimal doubles (degrees or AU; degrees per Julian century; degrees).
// '#' starts a comment; blank lines are ignored.
#pragma once

#include "koyomi/tables.h"

#include <array>
#include <iosfwd>
#include <string>

namespace koyomi {

struct CoefficientTable {
    std::array<double, kTermCount> amplitude{};
    std::array<double, kTermCount> rate{};
    std::array<double, kTermCount> phase{};
    std::array<std::string, kTermCount> quantity{};
};

// Throws EMirvoError naming the line for anything malformed or missing.
CoefficientTable ReadCoefficientText(std::istream& in);
CoefficientTable ReadCoefficientFile(const std::string& path);

// Writes the table with round-trip precision, one term a line.
void WriteCoefficientText(std::ostream& out, const CoefficientTable& table,
                          const std::string& headerComment = {});

// The 16128 bytes of the decompressed KOYOMI block (little-endian doubles).
std::string CoefficientBlockBytes(const CoefficientTable& table);

} // namespace koyomi
