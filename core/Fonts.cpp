#include "core/Fonts.h"

#include <QFontInfo>

QFont defaultTextFont()
{
    QFont font(DefaultFontFace, DefaultFontSize);
    font.setStyleHint(QFont::Monospace);
    return font;
}

namespace FontChoice {

QFont dialogStart(const QFont &inUse)
{
    QFont start = inUse;
    start.setFamily(QFontInfo(inUse).family());
    return start;
}

QFont afterDialog(const QFont &inUse, const QFont &start, const QFont &chosen)
{
    QFont kept = chosen;
    if (chosen.family() == start.family()) {
        kept.setFamily(inUse.family());
        kept.setStyleHint(inUse.styleHint());
    }
    kept.setUnderline(false);
    kept.setStrikeOut(false);
    return kept;
}

} // namespace FontChoice
