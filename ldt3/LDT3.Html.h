// HTML page frame shared by every page the program shows: XML escaping,
// the XHTML 1.0 document frames and the style lines the pages have in common.
#pragma once

#include <QString>

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
