// The version information as text (written by cmake/Version.cmake), read by
// the build tools that make version blocks. No Qt.
#pragma once

#include "version/versioninfo.h"

#include <iosfwd>

namespace mirvo {

// One field a line, its parts separated by single tabs; lines starting with
// '#' and blank lines are skipped:
//   file-version     a.b.c.d          (each part 0-65535)
//   product-version  a.b.c.d
//   file-flags-mask  number           (decimal, or hexadecimal with 0x; 32 bits)
//   file-flags       number
//   file-os          number
//   file-type        number
//   file-subtype     number
//   translation      language  code page   (16 bits each)
//   string           key  value     (UTF-8; the value may be empty, has no tab)
// Each field but "string" appears at most once; a missing one stays 0.
// Throws EMirvoError naming the line for anything else.
TVersionSource ReadVersionSource(std::istream& in);

} // namespace mirvo
