// HTML page frame shared by every page the program shows: XML escaping,
// the XHTML 1.0 document frames and the style lines the pages have in common.
#pragma once

#include <QString>
#include <QStringList>

#include <initializer_list>

class TBufferedString;

// Replaces & < > " ' by their predefined entity references. A text without
// any of them is returned as it is (shared, no new buffer).
QString XmlEscape(const QString &S);

// Complete XHTML 1.0 Strict document. The title is escaped, head and body are
// inserted verbatim.
QString XHTMLStrictDoc(const QString &ATitle, const QString &AHead, const QString &ABody);
// The same with the Transitional document type (used by the about page only).
QString XHTMLTransitionalDoc(const QString &ATitle, const QString &AHead, const QString &ABody);

// Style lines shared by the pages, each appended with AddLine.
struct TLDT3Html
{
    // "<style ...>" with the CDATA opener, and its closing counterpart.
    static void AddStyleBegin(TBufferedString &AHead);
    static void AddStyleEnd(TBufferedString &AHead);

    // Base: body (12pt, or 11pt for the file content page), h1, h2/h3.
    static void AddBaseStyle(TBufferedString &AHead, bool ASmallBody = false);
    // Table border, padding and th colour.
    static void AddTableStyle(TBufferedString &AHead);
    static void AddTableBorderStyle(TBufferedString &AHead);
    static void AddCaptionStyle(TBufferedString &AHead);
    // ".xpm th" with or without the final semicolon.
    static void AddXpmThStyle(TBufferedString &AHead, bool AFinalSemicolon);
    static void AddXpmCaptionStyle(TBufferedString &AHead);
    static void AddXpmTableStyle(TBufferedString &AHead);
    static void AddStatusStyles(TBufferedString &AHead);
    // Only .error, .okay and .warning (XPM messages of a line).
    static void AddErrorOkayWarningStyles(TBufferedString &AHead);
    static void AddRegelTableStyles(TBufferedString &AHead);
    static void AddFeldTableStyles(TBufferedString &AHead);

    // Complete style blocks of the pages.
    static QString RegelInfoStyle();
    static QString FeldInfoStyle();
    static QString LookupStyle();
    static QString FileInfoStyle();
    static QString FieldStatsStyle();
    static QString FileContentStyle();
    static QString XPMMessagesStyle();
};

// Writes the lines of a page into a buffer: headings, table rows and cells.
// Texts are escaped here ("&nbsp;" for an empty cell, so that it keeps its
// border); names ending in Raw take markup that is already made. Attributes
// are passed with their leading blank (" class=\"error\""). Every page builds
// its rows with it, so that escaping and the line layout are one thing.
class TXHtmlWriter
{
public:
    explicit TXHtmlWriter(TBufferedString &AOut) : FOut(AOut) {}

    // Escaped text; "&nbsp;" for an empty one.
    static QString CellText(const QString &AText);
    // " class=\"AClass\"", or nothing for an empty class.
    static QString ClassAttr(const QString &AClass);

    void Raw(const QString &ALine);
    void Raw(std::initializer_list<const char *> ALines);
    // <hN>text</hN>
    void Heading(int ALevel, const QString &AText);
    void RowBegin(const QString &AAttrs = QString());
    void RowEnd();
    // <td ATTRS>text</td>
    void Cell(const QString &AText, const QString &AAttrs = QString());
    // <td><b>text</b></td>
    void BoldCell(const QString &AText);
    // <th ATTRS>caption</th>; captions are the program's own markup-free texts
    void HeadCell(const QString &ACaption, const QString &AAttrs = QString());
    // <tr> with one <th> per caption </tr>
    void HeadRow(std::initializer_list<const char16_t *> ACaptions);
    // A row of a name and a value: <tr> <td>name</td> <td ATTRS>value</td> </tr>,
    // the row with AClass when given.
    void NameValueRow(const QString &AName, const QString &AValue, const QString &AClass = QString(),
                      const QString &AValueAttrs = QString());
    // A row of a heading and a value made already: <tr> <th>heading</th> <td>value</td> </tr>.
    void HeadValueRowRaw(const QString &AHeading, const QString &AValueRaw);
    // A row of a heading and lines, each escaped and ended by <br /> in one cell.
    void HeadLinesRow(const QString &AHeading, const QStringList &ALines);

private:
    TBufferedString &FOut;
};
