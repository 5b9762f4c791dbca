// The calendar data file Kosmera.dat: opening it as a resource module, the
// library's initialisation from its compressed blocks, and its string table.
//
// The data file is a resource-only Windows DLL. On Windows, LoadLibraryA below
// has the system open it (TWin32Module); elsewhere the program reads its
// resource section with TPeResources. The functions keep the Windows names so
// that start-up reads the same on both.
#pragma once

#include "koyomi/peresource.h"
#include "koyomi/stream.h"

#include <cstdint>
#include <string>

namespace koyomi {

// A loaded data file; null when loading failed. Owned by whoever loaded it
// until FreeLibrary.
using ModuleHandle = const TResourceModule*;

// Opens the data file at `path` (file system encoding; on Windows the ANSI
// code page). Null when the file is missing, unreadable or not a PE file
// (on Linux also when larger than TPeResources::kMaxFileSize).
ModuleHandle LoadLibraryA(const std::string& path);
// Releases a module from LoadLibraryA; null is allowed. Clears DataModule
// when it is that module.
void FreeLibrary(ModuleHandle module);

// Resource type and names of the compressed blocks.
inline constexpr const char* kKosmeraType = "KOSMERA";
inline constexpr const char* kKoyomiName = "KOYOMI";
inline constexpr const char* kSeizaName = "SEIZA";

// The data file's checksum: 4 bytes, little-endian, of type KOSMERA.
inline constexpr const char* kCheckName = "CHECK";

// CRC-32 (zlib's) of what the program reads from a data file: the KOYOMI
// and SEIZA resources as they are stored, then the body names, sign names
// and sign symbols (50001-50010, 50031-50042, 50071-50082), each as its
// LoadStringA bytes after a two-byte little-endian length. The tool that
// builds Kosmera.dat stores it as the CHECK resource.
std::uint32_t DataFileChecksum(ModuleHandle module);
// True when `module` holds a CHECK resource of 4 bytes equal to
// DataFileChecksum: a file damaged in any byte that the program reads is
// refused, where a flipped byte could otherwise still inflate and give
// garbled names or readings.
bool DataFileIsIntact(ModuleHandle module);

// Upper bound, in bytes, of what one block may inflate to. The blocks need
// 16128 and 5848 bytes; anything that inflates beyond this is refused as
// damaged instead of being allowed to claim memory without limit.
inline constexpr std::size_t kMaxInflatedBlockSize = 1u << 20;

// The data file's module, kept for string look-ups; set by LoadKoyomiTable
// (also when loading fails). The library never frees it.
extern ModuleHandle DataModule;
// The square-root switch of InitKoyomiLib. Only the standard square root
// (SingleSqrt) exists, so it is kept but selects nothing.
extern bool FastSqrt;

// Loads the coefficient tables and the SEIZA block from `module`. True when
// both blocks were found and are sound; false for a null module, a missing
// block, or a block that is damaged: a bad zlib stream, a resource shorter
// than its length prefix, an empty block, a coefficient block shorter than
// 16128 bytes or a SEIZA block shorter than 5848 bytes. Never throws.
bool InitKoyomiLib(ModuleHandle module, bool fastSqrt);

// Stores `module` in DataModule, then fills Amplitude, Rate and Phase (in
// that order, 672 little-endian doubles each) from the KOYOMI block and sets
// TimeFactor to 1.0 and EarthRadiusAU. False, with the arrays untouched, when
// the block is missing or damaged as above; bytes beyond 16128 are ignored.
bool LoadKoyomiTable(ModuleHandle module);
// Fills SeizaBlock from the SEIZA block of DataModule; false when it is
// missing or damaged as above. Bytes beyond 5848 are ignored.
bool LoadSeizaTable();

// Inflates the block (type, name) of `module` into `dest`, which is left
// positioned at its end. True when the block holds a complete zlib stream;
// false when it is missing, empty (length prefix 0 or less) or its stream is
// damaged (what was inflated before the damage stays in `dest`). Throws
// EMirvoError (stream read error) when the resource is shorter than its
// length prefix, and the stream write error when `dest` refuses bytes.
bool LoadCompressedResource(ModuleHandle module, const ResourceId& name, const ResourceId& type,
                            TStream& dest);

// Copies the compressed bytes of the block (type, name) to `dest`: the L
// bytes that follow its 4-byte little-endian signed length L. Nothing when
// the block is missing or L <= 0; throws the stream read error when fewer
// than L bytes follow.
void LoadResourceData(ModuleHandle module, const ResourceId& name, const ResourceId& type,
                      TStream& dest);

// String `number` of the data file's string table, as LoadStringA gives it
// with a 255-byte buffer: converted to code page 932 (characters it lacks
// become '?'), cut to at most 254 bytes without splitting a two-byte
// character, and handed back as UTF-8. The empty text when the string or
// DataModule is missing.
std::string LoadDataString(unsigned number);

// The data file's strings of the bodies and the signs: the first number of
// each run, to which the body's index (0-9) or the sign's (0-11) is added.
inline constexpr unsigned kDataBodyNames = 50001;
inline constexpr unsigned kDataSignNames = 50031;
inline constexpr unsigned kDataSignSymbols = 50071;   // each a Wingdings character

// The name of body `body` (0 the Sun ... 9 Pluto) from the data file.
inline std::string LoadBodyName(int body)
{
    return LoadDataString(kDataBodyNames + static_cast<unsigned>(body));
}

} // namespace koyomi
