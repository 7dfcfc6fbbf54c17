// Class-level services of the knowledge base and the file core that need no
// instance.
#pragma once

#include <QString>

struct TLDT3Data
{
    // ---------------------------------------------------------------- information pages

    // The kind of a lookup query.
    enum TInfoTyp { itNone, itFeld, itERegel, itFRegel, itKRegel, itAlleRegeln };

    // Classifies a query ("8000", "FK 8000", "e3", "F7", "k1", "R8000") and
    // turns it into the exact name of a field ("8000") or rule ("E003") in
    // SearchStr; SearchNum is the number read (-1 when none).
    static TInfoTyp GetInfoTyp(const QString &AStr, int &SearchNum, QString &SearchStr);
    // The page for a query: the field, rule or rules page, or a search page
    // that says nothing was found or explains the query syntax.
    static QString GetInfoXHTML(const QString &AStr, TInfoTyp &AInfoTyp);
    static QString GetInfoXHTML(const QString &AStr);
};
