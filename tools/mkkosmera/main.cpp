// mkkosmera: writes the calendar data file Kosmera.dat, a resource-only
// Windows DLL, from its text sources under resources/kosmera/.
//
//   mkkosmera --koyomi koyomi.txt --strings strings.txt --seiza seiza.txt
//             [--resource TYPE NAME FILE]... --output Kosmera.dat
//
// --resource embeds a file as it is, e.g. "--resource 16 1 version.res.bin"
// for a VS_VERSIONINFO block; TYPE and NAME are numbers or ASCII names.
#include "base/error.h"
#include "tools/mkkosmera/kosmerafile.h"
#include "tools/mkkosmera/peimage.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kExitUsage = 2;

const char* const kUsage =
    "使い方: mkkosmera --koyomi FILE --strings FILE --seiza FILE [--resource TYPE NAME FILE]... --output FILE\n";

struct TArguments {
    kosmera::TKosmeraSources sources;
    std::string output;
};

bool ParseArguments(const std::vector<std::string>& args, TArguments& parsed)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        const std::size_t left = args.size() - i - 1;
        if (option == "--resource" && left >= 3) {
            parsed.sources.extra.push_back({kosmera::TResourceKey::Parse(args[i + 1]),
                                            kosmera::TResourceKey::Parse(args[i + 2]), args[i + 3]});
            i += 3;
            continue;
        }
        if (left < 1)
            return false;
        const std::string& value = args[++i];
        if (option == "--koyomi")
            parsed.sources.koyomiPath = value;
        else if (option == "--strings")
            parsed.sources.stringsPath = value;
        else if (option == "--seiza")
            parsed.sources.seizaPath = value;
        else if (option == "--output")
            parsed.output = value;
        else
            return false;
    }
    return !parsed.sources.koyomiPath.empty() && !parsed.sources.stringsPath.empty()
           && !parsed.sources.seizaPath.empty() && !parsed.output.empty();
}

} // namespace

int main(int argc, char** argv)
{
    try {
        TArguments arguments;
        if (!ParseArguments(std::vector<std::string>(argv + 1, argv + argc), arguments)) {
            std::cerr << kUsage;
            return kExitUsage;
        }
        auto resources = kosmera::ReadKosmeraSources(arguments.sources);
        kosmera::AddChecksum(resources);
        kosmera::WriteFileAtomically(arguments.output, kosmera::BuildResourceDll(resources));
        return 0;
    } catch (const koyomi::EMirvoError& e) {
        std::cerr << "mkkosmera: " << e.what() << '\n';
        return 1;
    }
}
