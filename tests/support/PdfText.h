#pragma once

#include <QString>
#include <QStringList>

namespace PdfText {

// The text pdftotext reads from pdf, laid out as printed: every page, or the
// one page given (counted from 1). A failed pdftotext gives a text no test
// expects.
QString read(const QString &pdf, int page = 0);

// The pages of pdf, as pdfinfo counts them; -1 when it cannot tell.
int pageCount(const QString &pdf);

// Lines to print, numbered from 1: "line 1", "line 2", ... by default, or
// format with each number, given width digits with leading zeros.
QStringList numberedLines(int count, const QString &format = QStringLiteral("line %1"), int width = 0);

} // namespace PdfText
