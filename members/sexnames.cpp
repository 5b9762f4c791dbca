#include "members/sexnames.h"

#include "koyomi/base/stringtable.h"

namespace mirvo {

namespace {

constexpr int kSexNameBase = 43020;  // + sex code 0-2: なし, 男性, 女性
constexpr int kSexCodes = 3;

} // namespace

const std::string& SexName(int sex)
{
    static const std::string empty;
    return sex >= 0 && sex < kSexCodes ? LoadStr(kSexNameBase + sex) : empty;
}

} // namespace mirvo
