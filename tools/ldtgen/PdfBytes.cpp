#include "PdfBytes.h"

#include <cstdio>
#include <vector>

namespace PdfBytes {

namespace {

constexpr int LinesPerPage = 60;

// ISO 8859-15 byte to WinAnsi: only the eight letters that differ move.
char WinAnsi(char c)
{
    switch (static_cast<unsigned char>(c)) {
    case 0xA4: return char(0x80); // euro sign
    case 0xA6: return char(0x8A); // S caron
    case 0xA8: return char(0x9A); // s caron
    case 0xB4: return char(0x8E); // Z caron
    case 0xB8: return char(0x9E); // z caron
    case 0xBC: return char(0x8C); // OE
    case 0xBD: return char(0x9C); // oe
    case 0xBE: return char(0x9F); // Y diaeresis
    default: return c;
    }
}

// Literal string with ( ) \ escaped.
void AppendPdfString(QByteArray &AOut, const QByteArray &AText)
{
    AOut += '(';
    for (char c : AText) {
        if (c == '(' || c == ')' || c == '\\')
            AOut += '\\';
        AOut += WinAnsi(c);
    }
    AOut += ')';
}

QByteArray PageContent(const QList<QByteArray> &ALines)
{
    QByteArray s;
    s.reserve(64 + ALines.size() * 48);
    s += "BT\n/F1 10 Tf\n12 TL\n50 800 Td\n";
    for (const QByteArray &line : ALines) {
        AppendPdfString(s, line);
        s += " '\n";
    }
    s += "ET\n";
    return s;
}

class TPdfWriter
{
public:
    // Object numbers: 1 catalog, 2 page tree, 3 font, then page/content pairs.
    void AddPage(const QList<QByteArray> &ALines)
    {
        const int pageObj = 4 + 2 * FPageCount;
        const QByteArray content = PageContent(ALines);
        char head[160];
        std::snprintf(head, sizeof head,
                      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] "
                      "/Resources << /Font << /F1 3 0 R >> >> /Contents %d 0 R >>",
                      pageObj + 1);
        FBody.emplace_back(pageObj, QByteArray(head));
        std::snprintf(head, sizeof head, "<< /Length %lld >>\nstream\n",
                      static_cast<long long>(content.size()));
        FBody.emplace_back(pageObj + 1, QByteArray(head) + content + "endstream");
        ++FPageCount;
        FApproxSize += content.size() + 150;
    }

    qint64 ApproxSize() const { return FApproxSize; }

    QByteArray Finish() const
    {
        QByteArray out;
        out.reserve(FApproxSize + 1024 + FPageCount * 40);
        out += "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
        const int objCount = 3 + 2 * FPageCount;
        std::vector<qint64> offsets(objCount + 1, 0);
        auto addObj = [&](int ANr, const QByteArray &ABody) {
            offsets[ANr] = out.size();
            out += QByteArray::number(ANr) + " 0 obj\n" + ABody + "\nendobj\n";
        };
        addObj(1, "<< /Type /Catalog /Pages 2 0 R >>");
        QByteArray kids = "<< /Type /Pages /Kids [";
        for (int i = 0; i < FPageCount; ++i)
            kids += (i ? " " : "") + QByteArray::number(4 + 2 * i) + " 0 R";
        kids += "] /Count " + QByteArray::number(FPageCount) + " >>";
        addObj(2, kids);
        addObj(3, "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica "
                  "/Encoding /WinAnsiEncoding >>");
        for (const auto &[nr, body] : FBody)
            addObj(nr, body);
        const qint64 xref = out.size();
        out += "xref\n0 " + QByteArray::number(objCount + 1) + "\n";
        out += "0000000000 65535 f \n";
        char entry[24];
        for (int nr = 1; nr <= objCount; ++nr) {
            std::snprintf(entry, sizeof entry, "%010lld 00000 n \n",
                          static_cast<long long>(offsets[nr]));
            out += entry;
        }
        out += "trailer\n<< /Size " + QByteArray::number(objCount + 1) + " /Root 1 0 R >>\n";
        out += "startxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
        return out;
    }

private:
    std::vector<std::pair<int, QByteArray>> FBody;
    int FPageCount = 0;
    qint64 FApproxSize = 600;
};

} // namespace

QByteArray MakeReport(const QList<QByteArray> &ALines, qint64 AMinSize)
{
    TPdfWriter w;
    for (qsizetype i = 0; i < ALines.size() || i == 0; i += LinesPerPage)
        w.AddPage(ALines.mid(i, LinesPerPage));
    int page = 1;
    while (w.ApproxSize() < AMinSize) {
        ++page;
        // About 64 bytes per text line: the last page gets only what is missing.
        const qint64 missing = AMinSize - w.ApproxSize();
        const int lines = int(qBound(qint64(1), missing / 64 + 1, qint64(LinesPerPage)));
        QList<QByteArray> filler;
        filler.reserve(lines);
        for (int i = 1; i <= lines; ++i)
            filler << "Seite " + QByteArray::number(page) + ", Zeile " + QByteArray::number(i)
                          + ": Anlage zum Laborbefund (Beispieltext)";
        w.AddPage(filler);
    }
    return w.Finish();
}

} // namespace PdfBytes
