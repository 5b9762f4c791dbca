// What goes into Kosmera.dat, read from its text sources.
#pragma once

#include "tools/mkkosmera/resourcesection.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kosmera {

// A resource taken as it is from a file, for example a VS_VERSIONINFO block
// (type 16, name 1) made by another tool.
struct TRawResource {
    TResourceKey type;
    TResourceKey name;
    std::string path;
};

struct TKosmeraSources {
    std::string koyomiPath;   // coefficient text (koyomi/coeffile.h)
    std::string stringsPath;  // string table source (stringsource.h)
    std::string seizaPath;    // SEIZA layout source (layoutsource.h), 5848 bytes
    std::vector<TRawResource> extra;
};

// Reads every source and lays out the resources of the data file: type
// "KOSMERA" with "KOYOMI" and "SEIZA" (compressed blocks), the string table
// and the extra resources, all in language 0x0411. Throws EMirvoError naming
// the file and line of the first fault.
TResourceSection ReadKosmeraSources(const TKosmeraSources& sources);

// Adds the CHECK resource (koyomi::DataFileChecksum) of the other resources,
// as the program reads them back from the finished file.
void AddChecksum(TResourceSection& section);

// Reads a whole file; throws EMirvoError when it cannot be read.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path);
// Writes the bytes to a temporary file beside `path` and renames it over
// `path`, so that a failed run leaves any earlier file as it was.
void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace kosmera
