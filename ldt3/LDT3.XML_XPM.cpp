#include "LDT3.XML_XPM.h"

#include "LDT3.Base.h"
#include "LDT3.Zeichen.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

QString *TXMLParameter::FieldFor(QStringView AName)
{
    struct TEntry
    {
        const char16_t *Name;
        QString TXMLParameter::*Field;
    };
    static const TEntry entries[] = {
        {u"ABBRUCH", &TXMLParameter::ABBRUCH},
        {u"ARZT_NR", &TXMLParameter::ARZT_NR},
        {u"DATEI", &TXMLParameter::DATEI},
        {u"DATEI_DATUM", &TXMLParameter::DATEI_DATUM},
        {u"DATUM", &TXMLParameter::DATUM},
        {u"ERGEBNIS", &TXMLParameter::ERGEBNIS},
        {u"ERGEBNIS_TEXT", &TXMLParameter::ERGEBNIS_TEXT},
        {u"FEHLER", &TXMLParameter::FEHLER},
        {u"INFOS", &TXMLParameter::INFOS},
        {u"KBV_TAB_VERSION", &TXMLParameter::KBV_TAB_VERSION},
        {u"PAKET_VERSION", &TXMLParameter::PAKET_VERSION},
        {u"PRAXIS", &TXMLParameter::PRAXIS},
        {u"WARNUNGEN", &TXMLParameter::WARNUNGEN},
        {u"XPM_VERSION", &TXMLParameter::XPM_VERSION},
        {u"ZEIT", &TXMLParameter::ZEIT},
    };
    for (const TEntry &e : entries)
        if (AName == QStringView(e.Name))
            return &(this->*e.Field);
    return nullptr;
}

namespace {

// The encoding named in the XML declaration, or empty.
QByteArray DeclaredEncoding(const QByteArray &AXml)
{
    static const QRegularExpression re(QStringLiteral(R"re(^\s*<\?xml[^>]*encoding\s*=\s*["']([^"']+)["'])re"));
    const QRegularExpressionMatch m = re.match(QString::fromLatin1(AXml.left(200)));
    return m.hasMatch() ? m.captured(1).toLatin1() : QByteArray();
}

// ISO 8859-15 is not among the decoders of every Qt build: decode it here.
bool IsLatin9(const QByteArray &AName)
{
    const QByteArray n = AName.toLower();
    return n == "iso-8859-15" || n == "iso8859-15" || n == "iso_8859-15" || n == "latin-9" || n == "latin9" ||
           n == "8859_15";
}

void ReadParameter(QXmlStreamReader &R, TXMLParameter &P)
{
    while (R.readNextStartElement()) {
        QString *field = P.FieldFor(R.name());
        const QString text = R.readElementText(QXmlStreamReader::IncludeChildElements);
        if (field)
            *field = text;
    }
}

void ReadRecord(QXmlStreamReader &R, TXMLRecord_ &Rec)
{
    while (R.readNextStartElement()) {
        const QStringView name = R.name();
        QString *field = name == u"GRUPPE" ? &Rec.GRUPPE
                         : name == u"FEHLER_NR" ? &Rec.FEHLER_NR
                         : name == u"MELDUNG" ? &Rec.MELDUNG
                                                : nullptr;
        const QString text = R.readElementText(QXmlStreamReader::IncludeChildElements);
        if (field)
            *field = text;
    }
}

} // namespace

std::unique_ptr<TXMLData> TXMLData::ParseData(const QByteArray &AXml)
{
    QXmlStreamReader r;
    r.setNamespaceProcessing(false); // element names are plain; saves time on large results
    const QByteArray enc = DeclaredEncoding(AXml);
    if (!enc.isEmpty() && IsLatin9(enc) && !QStringDecoder(enc.constData()).isValid())
        r.addData(LDT3BytesToStr(reinterpret_cast<const unsigned char *>(AXml.constData()), AXml.size(), u' ')); // text input: the declaration's encoding no longer applies
    else
        r.addData(AXml);

    auto data = std::make_unique<TXMLData>();
    data->FRecord.reserve(AXml.count("<record")); // one allocation for large results
    bool sawRoot = false;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            if (sawRoot || r.name() != u"data") {
                r.raiseError(QStringLiteral("Unerwartetes Element \"%1\" statt \"data\"").arg(r.name().toString()));
                break;
            }
            sawRoot = true;
            while (r.readNextStartElement()) {
                if (r.name() == u"parameter") {
                    ReadParameter(r, data->FParameter);
                } else if (r.name() == u"record") {
                    TXMLRecord_ rec;
                    ReadRecord(r, rec);
                    data->FRecord.append(std::move(rec));
                } else {
                    r.skipCurrentElement();
                }
            }
        }
    }
    if (!r.hasError() && !sawRoot)
        r.raiseError(QStringLiteral("Das Dokument hat kein Element \"data\""));
    if (r.hasError())
        throw ELDT3Error(QStringLiteral("XML-Fehler in Zeile %1, Spalte %2: %3")
                             .arg(r.lineNumber())
                             .arg(r.columnNumber())
                             .arg(r.errorString()));
    return data;
}

std::unique_ptr<TXMLData> TXMLData::LoadData(const QString &AFileName)
{
    QFile f(AFileName);
    if (!f.open(QIODevice::ReadOnly))
        throw ELDT3Error(QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2").arg(AFileName, f.errorString()));
    try {
        return ParseData(f.readAll());
    } catch (const ELDT3Error &e) {
        throw ELDT3Error(QStringLiteral("%1\n(%2)").arg(e.Message(), AFileName));
    }
}
