#include "koyomi/coeffile.h"

#include "base/error.h"
#include "base/messages.h"
#include "base/stringtable.h"
#include "base/utf8.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace koyomi {

namespace {

bool ParseDouble(const std::string& text, double& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && std::isfinite(value);
}

EMirvoError LineError(int line, const std::string& what)
{
    return mirvo::MessageError(mirvo::kMsgCoefLine, {std::to_string(line), what});
}

void AppendLittleEndian(std::string& out, double value)
{
    auto bits = std::bit_cast<std::uint64_t>(value);
    for (int i = 0; i < 8; ++i) {
        out.push_back(static_cast<char>(bits & 0xFF));
        bits >>= 8;
    }
}

} // namespace

CoefficientTable ReadCoefficientText(std::istream& in)
{
    CoefficientTable table;
    std::array<bool, kTermCount> seen{};
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (const auto hash = line.find('#'); hash != std::string::npos)
            line.erase(hash);
        std::istringstream fields(line);
        std::string termText, quantity, a, r, p, extra;
        if (!(fields >> termText))
            continue;
        if (!(fields >> quantity >> a >> r >> p))
            throw LineError(lineNo, mirvo::LoadStr(mirvo::kMsgCoefTooFewFields));
        if (fields >> extra)
            throw LineError(lineNo, mirvo::LoadStr(mirvo::kMsgCoefExtraField));
        double termValue = 0;
        if (!ParseDouble(termText, termValue) || termValue != std::floor(termValue) || termValue < 1
            || termValue > kTermCount)
            throw LineError(lineNo, mirvo::FormatStr(mirvo::kMsgCoefBadTerm, {termText}));
        const int n = static_cast<int>(termValue) - 1;
        if (seen[n])
            throw LineError(lineNo, mirvo::FormatStr(mirvo::kMsgCoefTermTwice, {termText}));
        double av = 0, rv = 0, pv = 0;
        if (!ParseDouble(a, av) || !ParseDouble(r, rv) || !ParseDouble(p, pv))
            throw LineError(lineNo, mirvo::LoadStr(mirvo::kMsgCoefNotANumber));
        seen[n] = true;
        table.quantity[n] = quantity;
        table.amplitude[n] = av;
        table.rate[n] = rv;
        table.phase[n] = pv;
    }
    for (int n = 0; n < kTermCount; ++n)
        if (!seen[n])
            throw mirvo::MessageError(mirvo::kMsgCoefTermMissing, {std::to_string(n + 1)});
    return table;
}

CoefficientTable ReadCoefficientFile(const std::string& path)
{
    std::ifstream in(PathFromUtf8(path));
    if (!in)
        throw mirvo::MessageError(mirvo::kMsgFileUnreadable, {path});
    return ReadCoefficientText(in);
}

void WriteCoefficientText(std::ostream& out, const CoefficientTable& table,
                          const std::string& headerComment)
{
    if (!headerComment.empty()) {
        std::istringstream lines(headerComment);
        std::string l;
        while (std::getline(lines, l))
            out << "# " << l << '\n';
    }
    out << "# term\tquantity\tamplitude\trate\tphase\n";
    char buf[160];
    for (int n = 0; n < kTermCount; ++n) {
        const std::string& q = table.quantity[n].empty() ? std::string("unused") : table.quantity[n];
        std::snprintf(buf, sizeof buf, "%d\t%s\t%.17g\t%.17g\t%.17g\n", n + 1, q.c_str(),
                      table.amplitude[n], table.rate[n], table.phase[n]);
        out << buf;
    }
}

std::string CoefficientBlockBytes(const CoefficientTable& table)
{
    std::string out;
    out.reserve(kKoyomiBlockSize);
    for (double v : table.amplitude)
        AppendLittleEndian(out, v);
    for (double v : table.rate)
        AppendLittleEndian(out, v);
    for (double v : table.phase)
        AppendLittleEndian(out, v);
    return out;
}

} // namespace koyomi
