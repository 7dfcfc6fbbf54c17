// The test module's messages by line and the run's summary, with the XHTML
// fragments and the page that show them.
#pragma once

#include "Vex_IntList.h"

#include <QList>
#include <QRegularExpression>
#include <QString>

#include <memory>

struct TXPMParamRec
{
    QString ABBRUCH, ARZT_NR, DATEI, DATEI_DATUM, DATUM, ERGEBNIS, ERGEBNIS_TEXT, FEHLER, INFOS, KBV_TAB_VERSION,
        PAKET_VERSION, PRAXIS, WARNUNGEN, XPM_VERSION, ZEIT;
};

struct TXPMErrRec
{
    QString ErrGruppe;
    QString ErrName;
    QString ErrTyp;
    QString ErrZeile;
    QString ErrMsg;
};

class TXPMErrList
{
public:
    TXPMErrList();
    ~TXPMErrList();
    TXPMErrList(const TXPMErrList &) = delete;
    TXPMErrList &operator=(const TXPMErrList &) = delete;

    TXPMParamRec Parameter;

    int Add(const TXPMErrRec &ARec);
    // Room for ACount messages (a loader knows how many will come).
    void Reserve(int ACount) { FList.reserve(ACount); }
    int Count() const { return int(FList.size()); }
    const TXPMErrRec &Items(int Index) const { return FList.at(Index); }
    QList<int> AlleZeilen() const;
    QList<int> FehlerZeilen() const;
    QList<int> InfoZeilen() const;

    bool ZeileExists(int AZeile) const { return FAllDict->ContainsKey(AZeile); }
    bool IsFehlerZeile(int AZeile) const { return FFehlerDict->ContainsKey(AZeile); }
    bool IsInfoZeile(int AZeile) const { return FInfoDict->ContainsKey(AZeile); }
    int XPMRecCountForZeile(int AZeile) const { return FAllDict->GetIntCount(AZeile); }
    int XPMFehlerCountForZeile(int AZeile) const { return FFehlerDict->GetIntCount(AZeile); }
    int XPMInfoCountForZeile(int AZeile) const { return FInfoDict->GetIntCount(AZeile); }
    QList<TXPMErrRec> XPMRecsForZeile(int AZeile) const { return RecsOf(*FAllDict, AZeile); }
    QList<TXPMErrRec> XPMFehlerForZeile(int AZeile) const { return RecsOf(*FFehlerDict, AZeile); }
    QList<TXPMErrRec> XPMInfosForZeile(int AZeile) const { return RecsOf(*FInfoDict, AZeile); }
    QString XPMShortFehlerName(int AZeile) const;

    QString GetXPMParameterTableXHTML() const;
    QString GetXPMMessageTableXHTML() const;
    QString GetXPMMessageTableForZeileXHTML(int AZeile) const;
    QString GetXPMInfoForZeileXHTML(int AZeile) const;

    // Line key of a message: ErrZeile as a number, -1 when empty or not a number.
    static int ZeileKey(const QString &AErrZeile);
    // True for messages that mark their line: type beginning with A, F or W.
    static bool IsFehlerTyp(const QString &AErrTyp);

private:
    QList<TXPMErrRec> RecsOf(const TSortedUniqueIntListDict &ADict, int AZeile) const;
    static QList<int> SortedKeys(const TSortedUniqueIntListDict &ADict);

    QList<TXPMErrRec> FList;
    std::unique_ptr<TSortedUniqueIntListDict> FAllDict;
    std::unique_ptr<TSortedUniqueIntListDict> FFehlerDict;
    std::unique_ptr<TSortedUniqueIntListDict> FInfoDict;
};

// Reads a result file of the test module; nullptr when the file does not
// exist. A file that is not well-formed XML raises ELDT3Error.
std::unique_ptr<TXPMErrList> LoadXPMErrList(const QString &AFileName);
// The same for a result held in memory.
std::unique_ptr<TXPMErrList> ParseXPMErrList(const QByteArray &AXml);

// Takes name, type and line number out of a FEHLER_NR text and the message
// out of a MELDUNG text (as the loader does for each record).
class TXPMRecParser
{
public:
    TXPMRecParser();
    void ParseFehlerNr(const QString &AFehlerNr, TXPMErrRec &ARec) const;
    QString ParseMeldung(const QString &AMeldung) const;

private:
    QRegularExpression FP1, FP2, FP3;
};

// "XPM: <ERGEBNIS> - <ERGEBNIS_TEXT>" or "Es erfolgte keine XPM-Prüfung".
QString XPMStatus(const TXPMErrList *AXPMErrList);
// First item of a line's error message: "XPM [names]", "XPM", or empty when
// the line has no XPM bit or there is no result.
QString XPMLineErrorItem(int ALineErrorCode, int AZeile, const TXPMErrList *AXPMErrList);
