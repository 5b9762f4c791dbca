#include "tools/mkkosmera/peimage.h"

#include "tools/mkkosmera/bytewriter.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace kosmera {

namespace {

// DOS header.
constexpr std::size_t kDosHeaderSize = 0x40;
constexpr std::size_t kPeHeaderOffset = 0x80;  // e_lfanew: the stub fits below it
constexpr std::uint16_t kDosParagraphs = kDosHeaderSize / 16;
// A DOS program that prints the message below and ends with code 1.
constexpr std::array<std::uint8_t, 14> kDosStubCode = {
    0x0E,              // push cs
    0x1F,              // pop ds
    0xBA, 0x0E, 0x00,  // mov dx, offset message (right after this code)
    0xB4, 0x09,        // mov ah, 9     ; print '$'-terminated text
    0xCD, 0x21,        // int 21h
    0xB8, 0x01, 0x4C,  // mov ax, 4C01h ; end with code 1
    0xCD, 0x21,        // int 21h
};
constexpr std::string_view kDosStubMessage = "This program cannot be run in DOS mode.\r\r\n$";

// COFF header.
constexpr std::size_t kCoffOffset = kPeHeaderOffset + 4;
constexpr std::uint16_t kMachineI386 = 0x014C;
constexpr std::uint16_t kOptionalHeaderSize = 0xE0;  // PE32 with 16 data directories
constexpr std::uint16_t kExecutableImage = 0x0002;
constexpr std::uint16_t k32BitMachine = 0x0100;
constexpr std::uint16_t kFileDll = 0x2000;

// Optional header (PE32).
constexpr std::size_t kOptionalOffset = kCoffOffset + 20;
constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kOsMajorVersion = 6;   // Windows Vista and later
constexpr std::uint16_t kSubsystemWindowsGui = 2;
constexpr std::uint16_t kDllDynamicBase = 0x0040;
constexpr std::uint16_t kDllNxCompat = 0x0100;
constexpr std::uint16_t kDllNoSeh = 0x0400;
constexpr std::uint32_t kStackReserve = 0x100000;
constexpr std::uint32_t kStackCommit = 0x1000;
constexpr std::uint32_t kHeapReserve = 0x100000;
constexpr std::uint32_t kHeapCommit = 0x1000;
constexpr std::uint32_t kDataDirectoryCount = 16;
constexpr std::size_t kChecksumOffset = kOptionalOffset + 64;
constexpr std::size_t kDataDirectories = kOptionalOffset + 96;
constexpr std::size_t kResourceDirectoryEntry = kDataDirectories + 2 * 8;

// Section header.
constexpr std::size_t kSectionHeaderOffset = kOptionalOffset + kOptionalHeaderSize;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::uint32_t kInitializedData = 0x00000040;
constexpr std::uint32_t kMemRead = 0x40000000;

std::uint32_t Align(std::size_t value, std::uint32_t alignment)
{
    return static_cast<std::uint32_t>((value + alignment - 1) / alignment * alignment);
}

using TImage = TByteWriter;

void WriteDosHeader(TImage& image)
{
    image.Bytes(0, "MZ", 2);
    image.U16(0x02, kPeHeaderOffset % 512);  // e_cblp: bytes on the last 512-byte page
    image.U16(0x04, 1);                      // e_cp: pages of the DOS program
    image.U16(0x08, kDosParagraphs);         // e_cparhdr
    image.U16(0x0C, 0xFFFF);                 // e_maxalloc
    image.U16(0x10, 0xB8);                   // e_sp
    image.U16(0x18, kDosHeaderSize);         // e_lfarlc: relocations (none) right after the header
    image.U32(0x3C, kPeHeaderOffset);        // e_lfanew
    image.Bytes(kDosHeaderSize, kDosStubCode.data(), kDosStubCode.size());
    image.Bytes(kDosHeaderSize + kDosStubCode.size(), kDosStubMessage.data(), kDosStubMessage.size());
}

void WriteCoffHeader(TImage& image)
{
    image.Bytes(kPeHeaderOffset, "PE\0\0", 4);
    image.U16(kCoffOffset, kMachineI386);
    image.U16(kCoffOffset + 2, 1);  // one section
    // TimeDateStamp, symbol table: zero, so that the same inputs give the same file.
    image.U16(kCoffOffset + 16, kOptionalHeaderSize);
    image.U16(kCoffOffset + 18, kExecutableImage | k32BitMachine | kFileDll);
}

void WriteOptionalHeader(TImage& image, std::uint32_t sectionSize, std::uint32_t rawSize,
                         std::uint32_t headersSize)
{
    const std::size_t o = kOptionalOffset;
    image.U16(o, kMagicPe32);
    image.U32(o + 8, rawSize);                     // SizeOfInitializedData
    image.U32(o + 20, kResourceRva);               // BaseOfCode (there is no code)
    image.U32(o + 24, kResourceRva);               // BaseOfData
    image.U32(o + 28, kImageBase);
    image.U32(o + 32, kSectionAlignment);
    image.U32(o + 36, kFileAlignment);
    image.U16(o + 40, kOsMajorVersion);
    image.U16(o + 48, kOsMajorVersion);            // MajorSubsystemVersion
    image.U32(o + 56, kResourceRva + Align(sectionSize, kSectionAlignment));  // SizeOfImage
    image.U32(o + 60, headersSize);
    image.U16(o + 68, kSubsystemWindowsGui);
    image.U16(o + 70, kDllDynamicBase | kDllNxCompat | kDllNoSeh);
    image.U32(o + 72, kStackReserve);
    image.U32(o + 76, kStackCommit);
    image.U32(o + 80, kHeapReserve);
    image.U32(o + 84, kHeapCommit);
    image.U32(o + 92, kDataDirectoryCount);
    image.U32(kResourceDirectoryEntry, kResourceRva);
    image.U32(kResourceDirectoryEntry + 4, sectionSize);
}

void WriteSectionHeader(TImage& image, std::uint32_t sectionSize, std::uint32_t rawSize,
                        std::uint32_t headersSize)
{
    const std::size_t s = kSectionHeaderOffset;
    image.Bytes(s, ".rsrc\0\0\0", 8);
    image.U32(s + 8, sectionSize);   // VirtualSize
    image.U32(s + 12, kResourceRva);
    image.U32(s + 16, rawSize);
    image.U32(s + 20, headersSize);  // PointerToRawData
    image.U32(s + 36, kInitializedData | kMemRead);
}

} // namespace

std::uint32_t PeChecksum(const std::vector<std::uint8_t>& image, std::size_t checksumOffset)
{
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < image.size(); i += 2) {
        if (i >= checksumOffset && i < checksumOffset + 4)
            continue;
        std::uint32_t word = image[i];
        if (i + 1 < image.size())
            word |= static_cast<std::uint32_t>(image[i + 1]) << 8;
        sum += word;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint32_t>(sum + image.size());
}

std::vector<std::uint8_t> BuildResourceDll(const TResourceSection& resources)
{
    const std::vector<std::uint8_t> section = resources.Build(kResourceRva);
    const auto sectionSize = static_cast<std::uint32_t>(section.size());
    const std::uint32_t rawSize = Align(section.size(), kFileAlignment);
    const std::uint32_t headersSize = Align(kSectionHeaderOffset + kSectionHeaderSize, kFileAlignment);

    std::vector<std::uint8_t> bytes(headersSize + rawSize, 0);
    TImage image(bytes);
    WriteDosHeader(image);
    WriteCoffHeader(image);
    WriteOptionalHeader(image, sectionSize, rawSize, headersSize);
    WriteSectionHeader(image, sectionSize, rawSize, headersSize);
    image.Bytes(headersSize, section.data(), section.size());
    image.U32(kChecksumOffset, PeChecksum(image.Data(), kChecksumOffset));
    return bytes;
}

} // namespace kosmera
