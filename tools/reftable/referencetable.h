// Tables of reference positions (tests/data/positions-reference.tsv and the
// reference sample): one body on one date a line, tab or blank separated:
//     year month day body longitude_deg latitude_deg distance_au
// '#' lines are comments. Read by the fitter's set-up check and by the
// positions' regression test.
#pragma once

#include <string>
#include <vector>

namespace kosmera {

struct TReferenceRow {
    int year = 0;
    int month = 0;
    int day = 0;
    int body = 0;            // 0 Sun ... 9 Pluto
    double longitude = 0;    // degrees, apparent, true equinox of date
    double latitude = 0;     // degrees
    double distance = 0;     // astronomical units
};

// Every row of the table at `path`; throws std::runtime_error for a file
// that cannot be opened or a line that does not read, naming it.
std::vector<TReferenceRow> ReadReferenceTable(const std::string& path);

} // namespace kosmera
