#include "kosmerafixture.h"

#include "koyomi/peresource.h"

#include <gtest/gtest.h>

#include <string>

using namespace koyomi;
using namespace kosmeratest;

namespace {

// Where mkkosmera's image keeps things.
constexpr std::size_t kSectionFileOffset = 0x200;
constexpr std::size_t kPeOffsetField = 0x3C;

void Put32(TBytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t Get32(const TBytes& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

kosmera::TResourceSection SmallSection()
{
    kosmera::TResourceSection section;
    section.Add("KOSMERA", "KOYOMI", kosmera::kLangJapanese, {1, 2, 3});
    section.Add("KOSMERA", "SEIZA", kosmera::kLangJapanese, {4, 5});
    section.Add(kRtRcData, 7, 0, {9});
    section.AddStrings({{50001, u"太陽"}, {50003, u"水星"}}, kosmera::kLangJapanese);
    return section;
}

// A PE32+ (x64) image around the same resource section.
TBytes Pe32PlusImage(const kosmera::TResourceSection& resources)
{
    const TBytes section = resources.Build(0x1000);
    const std::size_t raw = (section.size() + 0x1FF) / 0x200 * 0x200;
    TBytes image(0x200 + raw, 0);
    image[0] = 'M';
    image[1] = 'Z';
    Put32(image, kPeOffsetField, 0x40);
    image[0x40] = 'P';
    image[0x41] = 'E';
    const std::size_t coff = 0x44, optional = coff + 20, sectionHeader = optional + 240;
    image[coff] = 0x64;  // machine 0x8664
    image[coff + 1] = 0x86;
    image[coff + 2] = 1;     // one section
    image[coff + 16] = 240;  // optional header size of PE32+
    image[optional] = 0x0B;  // magic 0x20B
    image[optional + 1] = 0x02;
    Put32(image, optional + 108, 16);                 // NumberOfRvaAndSizes
    Put32(image, optional + 112 + 2 * 8, 0x1000);     // resource directory
    Put32(image, optional + 112 + 2 * 8 + 4, static_cast<std::uint32_t>(section.size()));
    Put32(image, sectionHeader + 8, static_cast<std::uint32_t>(section.size()));
    Put32(image, sectionHeader + 12, 0x1000);
    Put32(image, sectionHeader + 16, static_cast<std::uint32_t>(raw));
    Put32(image, sectionHeader + 20, 0x200);
    std::copy(section.begin(), section.end(), image.begin() + 0x200);
    return image;
}

void ExpectSmallSectionFound(const TPeResources& pe)
{
    const auto koyomi = pe.Find("KOSMERA", "KOYOMI");
    ASSERT_TRUE(koyomi);
    EXPECT_EQ(TBytes(koyomi->begin(), koyomi->end()), (TBytes{1, 2, 3}));
    const auto seiza = pe.Find("kosmera", "Seiza");  // names compare without ASCII case
    ASSERT_TRUE(seiza);
    EXPECT_EQ(TBytes(seiza->begin(), seiza->end()), (TBytes{4, 5}));
    const auto rcdata = pe.Find(kRtRcData, "#7");
    ASSERT_TRUE(rcdata);
    EXPECT_EQ(rcdata->size(), 1u);
    EXPECT_EQ(pe.FindString(50001), u"太陽");
    EXPECT_EQ(pe.FindString(50003), u"水星");
    EXPECT_FALSE(pe.FindString(50002));  // empty slot
    EXPECT_FALSE(pe.FindString(50016));  // no such block
    EXPECT_FALSE(pe.Find("KOSMERA", "KOYOMIX"));
    EXPECT_FALSE(pe.Find("KOSMERA", 1));
    EXPECT_FALSE(pe.Find(kRtRcData, "KOYOMI"));
}

// Every look-up the data file needs; the point is that none of them reads
// outside the file or hangs (the sanitizer build checks the reads).
void LookUpEverything(const TPeResources& pe)
{
    (void)pe.Find("KOSMERA", "KOYOMI");
    (void)pe.Find("KOSMERA", "SEIZA");
    (void)pe.Find(kRtRcData, 7);
    for (unsigned n : {50001u, 50002u, 50003u, 50016u})
        (void)pe.FindString(n);
}

} // namespace

TEST(PeResources, FindsResourcesInPe32AndPe32Plus)
{
    const auto pe32 = TPeResources::FromBytes(kosmera::BuildResourceDll(SmallSection()));
    ASSERT_TRUE(pe32);
    EXPECT_FALSE(pe32->Is64Bit());
    EXPECT_TRUE(pe32->IsDll());
    ExpectSmallSectionFound(*pe32);

    const auto pe64 = TPeResources::FromBytes(Pe32PlusImage(SmallSection()));
    ASSERT_TRUE(pe64);
    EXPECT_TRUE(pe64->Is64Bit());
    ExpectSmallSectionFound(*pe64);

    // A copy reads the same (it holds its own bytes).
    const TPeResources copy = *pe32;
    ExpectSmallSectionFound(copy);
}

TEST(PeResources, RefusesFilesWithoutValidHeaders)
{
    const TBytes good = kosmera::BuildResourceDll(SmallSection());
    EXPECT_FALSE(TPeResources::FromBytes({}));
    EXPECT_FALSE(TPeResources::FromBytes(TBytes(good.begin(), good.begin() + 63)));
    TBytes farHeader = good;
    Put32(farHeader, kPeOffsetField, 0xFFFFFFF0u);
    EXPECT_FALSE(TPeResources::FromBytes(farHeader));
    TBytes noSignature = good;
    noSignature[Get32(good, kPeOffsetField)] = 'X';
    EXPECT_FALSE(TPeResources::FromBytes(noSignature));
    // Without a resource directory it is a module whose look-ups find nothing.
    const auto empty = TPeResources::FromBytes(kosmera::BuildResourceDll({}));
    ASSERT_TRUE(empty);
    EXPECT_FALSE(empty->Find("KOSMERA", "KOYOMI"));
    EXPECT_FALSE(empty->FindString(50001));
}

TEST(PeResources, HostileDirectoriesFailLookUpsWithoutLooping)
{
    const TBytes good = kosmera::BuildResourceDll(SmallSection());
    const std::size_t root = kSectionFileOffset;
    const std::size_t firstEntry = root + 16;
    const std::uint32_t typeDirectory = Get32(good, firstEntry + 4) & 0x7FFFFFFF;

    // Every subdirectory of the root and of the KOSMERA directory points back at the root.
    TBytes cycle = good;
    for (std::size_t e = 0; e < 3; ++e)
        Put32(cycle, firstEntry + 8 * e + 4, 0x80000000u);
    for (std::size_t e = 0; e < 2; ++e)
        Put32(cycle, root + typeDirectory + 16 + 8 * e + 4, 0x80000000u);
    auto pe = TPeResources::FromBytes(cycle);
    ASSERT_TRUE(pe);
    EXPECT_FALSE(pe->Find("KOSMERA", "KOYOMI"));
    EXPECT_FALSE(pe->FindString(50001));

    // Entry counts far beyond the section, and a name string beyond it.
    TBytes counts = good;
    counts[root + 12] = counts[root + 13] = counts[root + 14] = counts[root + 15] = 0xFF;
    pe = TPeResources::FromBytes(counts);
    ASSERT_TRUE(pe);
    LookUpEverything(*pe);
    TBytes farName = good;
    Put32(farName, firstEntry, 0xFFFFFFF0u);
    pe = TPeResources::FromBytes(farName);
    ASSERT_TRUE(pe);
    EXPECT_FALSE(pe->Find("KOSMERA", "KOYOMI"));
}

TEST(PeResources, DataOutsideTheFileIsNotFound)
{
    const TBytes good = kosmera::BuildResourceDll(SmallSection());
    // The data entry of KOYOMI: an RVA that leads to the bytes 1 2 3, and the size 3.
    std::size_t entry = 0;
    for (std::size_t at = kSectionFileOffset; at + 8 <= good.size(); at += 4) {
        const std::size_t file = Get32(good, at) - 0x1000 + kSectionFileOffset;
        if (Get32(good, at + 4) == 3 && file + 3 <= good.size() && good[file] == 1 && good[file + 1] == 2)
            entry = at;
    }
    ASSERT_NE(entry, 0u);

    for (const auto& [offset, value] : std::vector<std::pair<std::size_t, std::uint32_t>>{
             {4, 0xFFFFFFFFu},  // size beyond the file
             {4, static_cast<std::uint32_t>(good.size())},
             {0, 0x00500000u},  // RVA in no section
             {0, 0xFFFFFFFFu}}) {
        TBytes bad = good;
        Put32(bad, entry + offset, value);
        const auto damaged = TPeResources::FromBytes(bad);
        ASSERT_TRUE(damaged);
        EXPECT_FALSE(damaged->Find("KOSMERA", "KOYOMI"));
        EXPECT_TRUE(damaged->Find("KOSMERA", "SEIZA"));
    }
}

TEST(PeResources, EveryTruncationAndEveryByteFlipIsSafe)
{
    const TBytes good = kosmera::BuildResourceDll(SmallSection());
    for (std::size_t size = 0; size < good.size(); ++size) {
        const auto pe = TPeResources::FromBytes(TBytes(good.begin(), good.begin() + size));
        if (!pe)
            continue;
        LookUpEverything(*pe);
        // What is still found is exactly what was written.
        if (const auto koyomi = pe->Find("KOSMERA", "KOYOMI")) {
            EXPECT_EQ(TBytes(koyomi->begin(), koyomi->end()), (TBytes{1, 2, 3}));
        }
    }
    for (std::size_t at = 0; at < good.size(); ++at) {
        TBytes bad = good;
        bad[at] ^= 0xFF;
        if (const auto pe = TPeResources::FromBytes(bad))
            LookUpEverything(*pe);
    }
}

TEST(PeResources, StringBlocksShorterThanTheirLengthsAreNotRead)
{
    kosmera::TResourceSection section;
    // Block 3126 (strings 50000-50015): entry 0 empty, entry 1 claims 200 units but has 2.
    section.Add(kRtString, 3126, kosmera::kLangJapanese, {0, 0, 200, 0, 'a', 0, 'b', 0});
    const auto pe = TPeResources::FromBytes(kosmera::BuildResourceDll(section));
    ASSERT_TRUE(pe);
    EXPECT_FALSE(pe->FindString(50001));
    EXPECT_FALSE(pe->FindString(50002));
    EXPECT_FALSE(pe->FindString(50000));
}
