#include "members/sexnames.h"

namespace mirvo {

const std::array<std::string, 3> SexNames = {"なし", "男性", "女性"};

const std::string& SexName(int sex)
{
    static const std::string empty;
    return sex >= 0 && sex < static_cast<int>(SexNames.size()) ? SexNames[sex] : empty;
}

} // namespace mirvo
