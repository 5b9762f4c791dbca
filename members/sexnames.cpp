#include "members/sexnames.h"

#include "base/messages.h"
#include "base/stringtable.h"

namespace mirvo {

namespace {

constexpr int kSexCodes = 3;

} // namespace

const std::string& SexName(int sex)
{
    static const std::string empty;
    return sex >= 0 && sex < kSexCodes ? LoadStr(kSexNameBase + sex) : empty;
}

} // namespace mirvo
