// INI files on Linux and other POSIX systems: UTF-8, as every text file here.
#include "members/inifile.h"

namespace mirvo {

std::string IniFileBytes(TIniDocument& document)
{
    return document.Text();
}

} // namespace mirvo
