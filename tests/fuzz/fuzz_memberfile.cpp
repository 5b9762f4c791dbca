// libFuzzer target: the member-file reader on arbitrary bytes, and the
// round trip of what it read. Each input is a whole member file. Whatever
// the bytes, reading must end without a crash; and what was read must save,
// read back as the same members, and save again to the very same bytes.
#include "base/error.h"
#include "base/wholefile.h"
#include "members/memberlist.h"
#include "tests/fuzz/fuzzfolder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

bool SameMembers(const mirvo::TMemberList& a, const mirvo::TMemberList& b)
{
    if (a.Count() != b.Count())
        return false;
    for (int i = 0; i < a.Count(); ++i)
        if (!mirvo::SameMemberData(a.Items(i), b.Items(i)))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const fs::path input = mirvo::fuzz::ScratchFolder() / "input.csv";
    const fs::path first = mirvo::fuzz::ScratchFolder() / "first.csv";
    const fs::path second = mirvo::fuzz::ScratchFolder() / "second.csv";
    for (const fs::path& p : {input, first, second})
        ::unlink(p.c_str());
    Check(mirvo::ReplaceWholeFile(input, std::string_view(reinterpret_cast<const char*>(data), size)));

    mirvo::TMemberList list;
    mirvo::TMemberFileReport report;
    try {
        list.LoadFromCsv(input, report);
    } catch (const koyomi::EMirvoError&) {
        std::abort();   // only a file that cannot be read may throw, and this one can
    }
    for (const mirvo::TLineProblem& problem : report.problems)
        Check(problem.line >= 1);
    if (list.Count() == 0)
        return 0;

    // Every member that was read can be saved: load -> save -> load -> save.
    Check(list.SaveToCsv(first));
    mirvo::TMemberList back;
    mirvo::TMemberFileReport backReport;
    Check(back.LoadFromCsv(first, backReport));
    Check(backReport.Complete() && backReport.encoding == mirvo::feShiftJis);
    Check(SameMembers(list, back));
    Check(back.SaveToCsv(second));
    Check(mirvo::ReadWholeFile(first) == mirvo::ReadWholeFile(second));
    return 0;
}
