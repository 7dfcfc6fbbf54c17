// Binding of the test module's XML result file: document element "data" with
// one "parameter" element (the run's summary) and any number of "record"
// elements (the messages). Element texts only; a missing element reads empty.
#pragma once

#include <QList>
#include <QString>

#include <memory>

class TXMLParameter
{
public:
    QString ABBRUCH, ARZT_NR, DATEI, DATEI_DATUM, DATUM, ERGEBNIS, ERGEBNIS_TEXT, FEHLER, INFOS, KBV_TAB_VERSION,
        PAKET_VERSION, PRAXIS, WARNUNGEN, XPM_VERSION, ZEIT;
    // The field of an element name, or nullptr.
    QString *FieldFor(QStringView AName);
};

class TXMLRecord_
{
public:
    QString GRUPPE, FEHLER_NR, MELDUNG;
};

using TXMLRecord_List = QList<TXMLRecord_>;

class TXMLData
{
public:
    const TXMLParameter &Parameter() const { return FParameter; }
    const TXMLRecord_List &Record() const { return FRecord; }

    // Reads a result file. A document that is not well-formed, or whose
    // document element is not "data", raises ELDT3Error with the parser's message.
    static std::unique_ptr<TXMLData> LoadData(const QString &AFileName);
    static std::unique_ptr<TXMLData> ParseData(const QByteArray &AXml);

private:
    TXMLParameter FParameter;
    TXMLRecord_List FRecord;
};
