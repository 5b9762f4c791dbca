// Writes a resource-only Windows DLL (PE32, i386): headers, no code, and one
// .rsrc section holding the resources.
#pragma once

#include "tools/mkkosmera/resourcesection.h"

#include <cstdint>
#include <vector>

namespace kosmera {

// Layout of the image the program writes.
constexpr std::uint32_t kSectionAlignment = 0x1000;  // bytes, in memory
constexpr std::uint32_t kFileAlignment = 0x200;      // bytes, in the file
constexpr std::uint32_t kImageBase = 0x10000000;     // preferred load address of a DLL
constexpr std::uint32_t kResourceRva = kSectionAlignment;  // the .rsrc section follows the headers

// The bytes of the DLL: DOS header and stub, "PE\0\0", COFF header (i386,
// DLL), PE32 optional header (no entry point, resource data directory), the
// .rsrc section header and the section itself; with the PE checksum set.
std::vector<std::uint8_t> BuildResourceDll(const TResourceSection& resources);

// The PE checksum of an image whose checksum field lies at `checksumOffset`
// (the field itself counts as zero): 16-bit one's-complement-style sum of the
// file with carries folded in, plus the file length.
std::uint32_t PeChecksum(const std::vector<std::uint8_t>& image, std::size_t checksumOffset);

} // namespace kosmera
