#include "tools/reftable/referencetable.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kosmera {

std::vector<TReferenceRow> ReadReferenceTable(const std::string& path)
{
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot open " + path);
    std::vector<TReferenceRow> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        TReferenceRow r;
        if (!(fields >> r.year >> r.month >> r.day >> r.body >> r.longitude >> r.latitude >> r.distance))
            throw std::runtime_error("bad line in " + path + ": " + line);
        rows.push_back(r);
    }
    return rows;
}

} // namespace kosmera
