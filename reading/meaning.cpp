#include "reading/meaning.h"

#include "base/messages.h"
#include "base/stringtable.h"
#include "base/utf8.h"
#include "reading/glyphs.h"

namespace mirvo {

std::string FaceGlyph(TFace face)
{
    return std::string(1, LookOf(face).glyph);
}

std::string FaceSymbol(TFace face)
{
    return koyomi::Utf8Of(WingdingsGlyph(static_cast<unsigned char>(LookOf(face).glyph))->unicode);
}

int RatingId(TRatingLevel level)
{
    for (const RatingLook& look : kRatingLooks) {
        if (look.level == level)
            return look.text;
    }
    return kRatingLooks[kRatingLevels / 2].text;  // not reached: every level has its word
}

std::string RatingText(TRatingLevel level)
{
    return LoadStr(RatingId(level));
}

std::string AxisName(int axis)
{
    return LoadStr(kTextAxisNames + axis);
}

} // namespace mirvo
