// mkversion: writes the program's version block (VS_VERSIONINFO) from its
// text form, which the build makes from cmake/Version.cmake.
//
//   mkversion <source.txt> <block>
//
// The block replaces <block> whole or not at all; on any fault the tool says
// why on standard error and ends with exit code 1.
#include "base/error.h"
#include "version/versioninfo.h"
#include "version/versionsource.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kExitFailure = 1;

void WriteAtomically(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::filesystem::path temporary = path;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out)
            throw koyomi::EMirvoError("ファイル " + temporary.string() + " に書き込めません");
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        throw koyomi::EMirvoError("ファイル " + path.string() + " に書き込めません");
    }
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::cerr << "使い方: mkversion <バージョン情報のテキスト> <出力ファイル>\n";
        return kExitFailure;
    }
    try {
        std::ifstream in(argv[1]);
        if (!in)
            throw koyomi::EMirvoError(std::string("ファイル ") + argv[1] + " は開けません");
        const mirvo::TVersionSource source = mirvo::ReadVersionSource(in);
        WriteAtomically(argv[2], mirvo::BuildVersionInfo(source));
    } catch (const std::exception& e) {
        std::cerr << "mkversion: " << e.what() << '\n';
        return kExitFailure;
    }
    return 0;
}
