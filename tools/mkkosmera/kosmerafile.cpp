#include "tools/mkkosmera/kosmerafile.h"

#include "base/error.h"
#include "koyomi/coeffile.h"
#include "koyomi/datafile.h"
#include "koyomi/peresource.h"
#include "koyomi/tables.h"
#include "tools/mkkosmera/compressedblock.h"
#include "tools/mkkosmera/layoutsource.h"
#include "tools/mkkosmera/peimage.h"
#include "tools/mkkosmera/stringsource.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace kosmera {

using koyomi::EMirvoError;

namespace {

std::ifstream OpenText(const std::string& path)
{
    std::ifstream in(path);
    if (!in)
        throw EMirvoError("ファイル " + path + " は開けません");
    return in;
}

// Runs a reader and puts the file's name in front of its message.
template <class Reader>
auto ReadNamed(const std::string& path, Reader reader)
{
    try {
        return reader(path);
    } catch (const EMirvoError& e) {
        throw EMirvoError(path + ": " + e.what());
    }
}

} // namespace

std::vector<std::uint8_t> ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw EMirvoError("ファイル " + path + " は開けません");
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw EMirvoError("ファイル " + path + " を読めません");
    return bytes;
}

void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out)
            throw EMirvoError("ファイル " + temporary + " に書き込めません");
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        throw EMirvoError("ファイル " + path + " に書き込めません");
    }
}

TResourceSection ReadKosmeraSources(const TKosmeraSources& sources)
{
    TResourceSection section;
    const std::string koyomiBytes = ReadNamed(sources.koyomiPath, [](const std::string& path) {
        return koyomi::CoefficientBlockBytes(koyomi::ReadCoefficientFile(path));
    });
    // Both blocks are inflated at every start of both programs. Stored, they
    // inflate about eight times faster; deflate would save 4 KB of the
    // coefficients (they hardly compress) and 5.6 KB of the layout.
    section.Add(koyomi::kKosmeraType, koyomi::kKoyomiName, kLangJapanese,
                CompressBlock(std::vector<std::uint8_t>(koyomiBytes.begin(), koyomiBytes.end()), TBlockForm::Stored));
    const auto seiza = ReadNamed(sources.seizaPath, [](const std::string& path) {
        auto in = OpenText(path);
        return ReadLayoutSource(in, koyomi::kSeizaSize);
    });
    section.Add(koyomi::kKosmeraType, koyomi::kSeizaName, kLangJapanese, CompressBlock(seiza, TBlockForm::Stored));
    const auto strings = ReadNamed(sources.stringsPath, [](const std::string& path) {
        auto in = OpenText(path);
        return ReadStringSource(in);
    });
    section.AddStrings(strings, kLangJapanese);
    for (const TRawResource& raw : sources.extra)
        section.Add(raw.type, raw.name, kLangJapanese, ReadWholeFile(raw.path));
    return section;
}

void AddChecksum(TResourceSection& section)
{
    const auto module = koyomi::TPeResources::FromBytes(BuildResourceDll(section));
    if (!module)
        throw EMirvoError("作った Kosmera.dat を読み戻せません");
    const std::uint32_t crc = koyomi::DataFileChecksum(&*module);
    section.Add(koyomi::kKosmeraType, koyomi::kCheckName, kLangJapanese,
                {static_cast<std::uint8_t>(crc), static_cast<std::uint8_t>(crc >> 8),
                 static_cast<std::uint8_t>(crc >> 16), static_cast<std::uint8_t>(crc >> 24)});
}

} // namespace kosmera
