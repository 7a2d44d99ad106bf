#pragma once

#include <QString>

namespace PdfText {

// The text pdftotext reads from pdf, laid out as printed: every page, or the
// one page given (counted from 1). A failed pdftotext gives a text no test
// expects.
QString read(const QString &pdf, int page = 0);

} // namespace PdfText
