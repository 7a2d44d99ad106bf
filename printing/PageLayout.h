#pragma once

#include "printing/PrintCanvas.h"

#include <QtGlobal>

// Where everything stands on a printed page, in pixels of the printable area
// (origin at its top left corner, y growing downwards). Every division
// truncates towards zero after the multiplication before it, so the numbers
// are those of the printer's own integer arithmetic.
struct PageLayout
{
    // False when the printer or the font gives nothing to divide by, or when
    // not one body line fits between the header and the footer. Nothing may
    // be printed with an invalid layout.
    bool valid = false;

    int lineHeight = 0; // h
    int offY = 0;       // the paper offsets scaled to the printable area
    int offX = 0;
    int top = 0; // 12 mm from the paper's top and bottom edges
    int bottom = 0;
    int left = 0; // 15 mm from the paper's left and right edges
    int right = 0;
    int linesPerPage = 0; // L
    int inset = 0;        // about 2 mm, from the frame's edge to its texts
    int usableWidth = 0;  // what a body line may take

    // The header frame runs from (left, top) to (headerRight, headerBottom).
    int headerRight = 0;
    int headerBottom = 0;
    int titleX = 0;
    int titleY = 0;
    int bodyTop = 0; // y of the first body line of a page

    // The footer frame runs from (left, footerTop) to (headerRight, footerBottom).
    int footerTop = 0;
    int footerBottom = 0;
    int footerTextY = 0;
    int footerLeftX = 0;   // "Ostrel"
    int footerCentreX = 0; // the date and time are centred on this point
    int footerRightX = 0;  // the page text ends here

    int bodyLineY(int lineOnPage) const { return bodyTop + lineOnPage * lineHeight; }

    // Pages for n lines; an empty text still takes one (blank) page.
    qsizetype pageCount(qsizetype lineCount) const;
};

// Pure: the layout for a printer and a line height h.
PageLayout ComputePageLayout(const PrinterMetrics &metrics, int h);
