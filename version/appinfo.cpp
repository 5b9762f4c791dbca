#include "version/appinfo.h"

#include "version/version.h"

namespace mirvo {

std::string AppFileDescription()
{
    // The description of the program's own version information, as every
    // window title shows it.
    return TVersion(ProgramFile()).GetFileDescription();
}

} // namespace mirvo
