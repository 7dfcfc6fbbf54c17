// A small but complete PDF document built in memory: one report page with
// the given text lines, followed by filler pages until the wanted size is
// reached. The result starts with "%PDF-" and ends with "%%EOF\n"; its
// cross-reference table holds the true byte offsets of all objects.
#pragma once

#include <QByteArray>
#include <QList>

namespace PdfBytes {

// ALines are ISO 8859-15 bytes (shown with WinAnsiEncoding; umlauts match).
// AMinSize: the wanted size; the document comes out within about one text
// line of it, and never smaller than the report page itself.
QByteArray MakeReport(const QList<QByteArray> &ALines, qint64 AMinSize);

}
