// Data files made in memory for the data-file tests: a sound one, and the
// parts to spoil one way or another.
#pragma once

#include "koyomi/datafile.h"
#include "koyomi/tables.h"
#include "tools/mkkosmera/compressedblock.h"
#include "tools/mkkosmera/peimage.h"
#include "tools/mkkosmera/resourcesection.h"

#include <bit>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kosmeratest {

using TBytes = std::vector<std::uint8_t>;

// Coefficient values that differ everywhere, so that a shifted or swapped array shows.
inline double TestAmplitude(int n) { return n + 0.25; }
inline double TestRate(int n) { return 1000.0 * n - 0.5; }
inline double TestPhase(int n) { return -n - 0.125; }

inline void AppendDouble(TBytes& out, double value)
{
    const auto bits = std::bit_cast<std::uint64_t>(value);
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
}

// The 16128 bytes of an inflated KOYOMI block.
inline TBytes CoefficientBytes()
{
    TBytes out;
    for (auto* value : {TestAmplitude, TestRate, TestPhase})
        for (int n = 0; n < koyomi::kTermCount; ++n)
            AppendDouble(out, value(n));
    return out;
}

// 5848 bytes of SEIZA, none of them left zero by accident.
inline TBytes SeizaBytes(std::size_t size = koyomi::kSeizaSize)
{
    TBytes out(size);
    for (std::size_t i = 0; i < size; ++i)
        out[i] = static_cast<std::uint8_t>(i * 7 + 1);
    return out;
}

// A resource holding a length prefix and whatever follows it.
inline TBytes PrefixedBlock(std::int32_t length, const TBytes& following)
{
    TBytes out;
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(length) >> (8 * i)));
    out.insert(out.end(), following.begin(), following.end());
    return out;
}

struct TDataFileParts {
    std::optional<TBytes> koyomi = kosmera::CompressBlock(CoefficientBytes());  // resource bytes; nullopt leaves it out
    std::optional<TBytes> seiza = kosmera::CompressBlock(SeizaBytes());
    std::map<unsigned, std::u16string> strings = {{50001, u"太陽"}, {50031, u"牡羊座"}, {50071, u"^"}};
};

inline TBytes BuildImage(const TDataFileParts& parts)
{
    kosmera::TResourceSection section;
    if (parts.koyomi)
        section.Add(koyomi::kKosmeraType, koyomi::kKoyomiName, kosmera::kLangJapanese, *parts.koyomi);
    if (parts.seiza)
        section.Add(koyomi::kKosmeraType, koyomi::kSeizaName, kosmera::kLangJapanese, *parts.seiza);
    section.AddStrings(parts.strings, kosmera::kLangJapanese);
    return kosmera::BuildResourceDll(section);
}

// A loaded data file made from parts; the tables start from the not-loaded state.
class TLoadedModule {
public:
    explicit TLoadedModule(const TDataFileParts& parts = {})
        : FModule(koyomi::TPeResources::FromBytes(BuildImage(parts)))
    {
        koyomi::ResetTables();
        koyomi::DataModule = nullptr;
    }
    ~TLoadedModule() { koyomi::DataModule = nullptr; }
    TLoadedModule(const TLoadedModule&) = delete;
    TLoadedModule& operator=(const TLoadedModule&) = delete;

    koyomi::ModuleHandle Handle() const { return FModule ? &*FModule : nullptr; }

private:
    std::optional<koyomi::TPeResources> FModule;
};

} // namespace kosmeratest
