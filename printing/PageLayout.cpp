#include "printing/PageLayout.h"

#include <limits>

namespace {

bool fitsInt(long long value)
{
    return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
}

} // namespace

qsizetype PageLayout::pageCount(qsizetype lineCount) const
{
    if (lineCount <= 0 || linesPerPage <= 0)
        return 1;
    return (lineCount - 1) / linesPerPage + 1;
}

PageLayout ComputePageLayout(const PrinterMetrics &m, int h)
{
    PageLayout p;
    if (m.PW == 0 || m.PH == 0 || m.Wmm == 0 || m.Hmm == 0 || h <= 0)
        return p;

    // Formed in 64 bits: a printer that reports absurd sizes must give an
    // invalid layout, not an overflow.
    using Wide = long long;
    const Wide offY = Wide(m.H) * m.OY / m.PH;
    const Wide offX = Wide(m.W) * m.OX / m.PW;
    const Wide top = Wide(m.H) * 12 / m.Hmm - offY;
    const Wide left = Wide(m.W) * 15 / m.Wmm - offX;
    const Wide lines = (Wide(m.H) - top - top) / h - 6;
    const Wide inset = (Wide(m.W) / m.Wmm) * 2;
    const Wide usable = Wide(m.W) - left - left;
    const Wide headerRight = Wide(m.W) - left;
    const Wide headerBottom = top + (Wide(3) * h) / 2;
    const Wide footerBottom = Wide(m.H) - top;
    const Wide footerTop = footerBottom - (Wide(3) * h) / 2;
    const Wide bodyTop = top + h / 4 + Wide(3) * h;
    const Wide lastBodyLine = bodyTop + lines * h;

    for (const Wide value :
         {offY, offX, top, left, lines, inset, usable, headerRight, headerBottom, footerBottom, footerTop,
          bodyTop, lastBodyLine, headerRight - inset, footerTop + h, left + inset, left + Wide(m.W) / 2}) {
        if (!fitsInt(value))
            return p;
    }

    p.lineHeight = h;
    p.offY = int(offY);
    p.offX = int(offX);
    p.top = p.bottom = int(top);
    p.left = p.right = int(left);
    p.linesPerPage = int(lines);
    p.inset = int(inset);
    p.usableWidth = int(usable);
    p.headerRight = int(headerRight);
    p.headerBottom = int(headerBottom);
    p.titleX = int(left + inset);
    p.titleY = int(top + h / 4);
    p.bodyTop = int(bodyTop);
    p.footerTop = int(footerTop);
    p.footerBottom = int(footerBottom);
    p.footerTextY = int(footerTop + h / 4);
    p.footerLeftX = int(left + inset);
    p.footerCentreX = int(left + Wide(m.W) / 2);
    p.footerRightX = int(headerRight - inset);
    p.valid = p.linesPerPage > 0;
    return p;
}
