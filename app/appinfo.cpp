#include "app/appinfo.h"

namespace mirvo {

std::string AppFileDescription()
{
    return "今日のミルボ";
}

} // namespace mirvo
