#include "LDT3.TVObjects.h"

#include "LDT3.Feld.h"
#include "WStrTools.h"

// Class references of these classes are defined with the others in LDT3.TVBase.cpp.

namespace {

// Short information texts: the first part as it is, then each further part
// trimmed of blanks and appended after the separator unless it is empty.
QString Append(QString S, const QString &ASep, const QString &APart)
{
    AddWithSeparator(S, ASep, APart);
    return S;
}

// Auftragsnummer of the sender; the laboratory's number only when it differs.
QString OrderNumbers(const QString &AEinsender, const QString &ALabor)
{
    QString s = AEinsender;
    if (ALabor != AEinsender)
        AddWithSeparator(s, QStringLiteral(", "), ALabor);
    return s;
}

} // namespace

// ---------------------------------------------------------------------------
// Objects

// A property is read from the children once the node is initialised.
#define LDT3_SINGLE(Cls, Name, FK)                                                                 \
    QString Cls::Name() const { return Initialised() ? SingleNodeInhalt(FK) : QString(); }
#define LDT3_ARR(Cls, Name, FK)                                                                    \
    QStringList Cls::Name() const { return Initialised() ? ArrNodeInhalt(FK) : QStringList(); }
#define LDT3_OBJEKT(Cls, Name, ObjCls, AttrFK)                                                     \
    ObjCls *Cls::Name() const { return Initialised() ? SingleObjekt<ObjCls>(AttrFK) : nullptr; }

LDT3_SINGLE(TLDT3ObjektIdent0010LineNode, Dokumententyp, 9970)

QString TLDT3ObjektIdent0010LineNode::BuildShortInfo() const
{
    return FeldDict().GetBedeutung(9970, Dokumententyp());
}

LDT3_SINGLE(TLDT3ObjektIdent0013LineNode, Auftragsnummer_des_Einsenders, 8310)

QString TLDT3ObjektIdent0013LineNode::BuildShortInfo() const
{
    // the laboratory's number has no property of its own
    return OrderNumbers(Auftragsnummer_des_Einsenders(), Initialised() ? SingleNodeInhalt(8311) : QString());
}

LDT3_OBJEKT(TLDT3ObjektIdent0014LineNode, Person, TLDT3ObjektIdent0047LineNode, 8147)

LDT3_SINGLE(TLDT3ObjektIdent0017LineNode, Auftragsnummer_des_Einsenders, 8310)
LDT3_SINGLE(TLDT3ObjektIdent0017LineNode, ID_Auftragsnummer_des_Labors, 8311)

QString TLDT3ObjektIdent0017LineNode::BuildShortInfo() const
{
    return OrderNumbers(Auftragsnummer_des_Einsenders(), ID_Auftragsnummer_des_Labors());
}

LDT3_ARR(TLDT3ObjektIdent0022LineNode, StatusEinsender_Arr, 7321)
LDT3_SINGLE(TLDT3ObjektIdent0022LineNode, Kunden_Arzt_Nummer, 8312)
LDT3_SINGLE(TLDT3ObjektIdent0022LineNode, ID_des_Auftraggebers, 7267)
LDT3_OBJEKT(TLDT3ObjektIdent0022LineNode, Arztidentifikation, TLDT3ObjektIdent0014LineNode, 8114)
LDT3_OBJEKT(TLDT3ObjektIdent0022LineNode, Ueberweisung_von_anderen_Aerzten, TLDT3ObjektIdent0014LineNode, 8240)
LDT3_OBJEKT(TLDT3ObjektIdent0022LineNode, Ueberweisung_an, TLDT3ObjektIdent0014LineNode, 8241)
LDT3_OBJEKT(TLDT3ObjektIdent0022LineNode, Person, TLDT3ObjektIdent0047LineNode, 8147)
LDT3_SINGLE(TLDT3ObjektIdent0022LineNode, Fachrichtung_oder_Stationskennung, 7268)
LDT3_OBJEKT(TLDT3ObjektIdent0022LineNode, Betriebsstaette, TLDT3ObjektIdent0019LineNode, 8119)
LDT3_OBJEKT(TLDT3ObjektIdent0022LineNode, Organisation, TLDT3ObjektIdent0043LineNode, 8143)

QString TLDT3ObjektIdent0022LineNode::BuildShortInfo() const
{
    QString s = Kunden_Arzt_Nummer();
    const TLDT3ObjektIdent0014LineNode *arzt = Arztidentifikation();
    if (const TLDT3ObjektIdent0047LineNode *person = arzt ? arzt->Person() : nullptr)
        AddWithSeparator(s, QStringLiteral(", "), person->ShortInfo());
    return s;
}

LDT3_OBJEKT(TLDT3ObjektIdent0032LineNode, Sendendes_System, TLDT3ObjektIdent0051LineNode, 8151)
LDT3_OBJEKT(TLDT3ObjektIdent0032LineNode, Timestamp_Erstellung_Datensatz, TLDT3ObjektIdent0054LineNode, 8218)
LDT3_OBJEKT(TLDT3ObjektIdent0032LineNode, Softwareverantwortlicher, TLDT3ObjektIdent0043LineNode, 8212)

LDT3_OBJEKT(TLDT3ObjektIdent0036LineNode, Laborbezeichnung, TLDT3ObjektIdent0043LineNode, 8239)
LDT3_ARR(TLDT3ObjektIdent0036LineNode, URL_Kataloge_Arr, 7352)
LDT3_SINGLE(TLDT3ObjektIdent0036LineNode, ID_eines_Laborstandortes, 8324)
LDT3_SINGLE(TLDT3ObjektIdent0036LineNode, Laborart, 7266)

LDT3_SINGLE(TLDT3ObjektIdent0037LineNode, ProbengefaessIdent, 7364)
LDT3_SINGLE(TLDT3ObjektIdent0037LineNode, ProbenmaterialIdent, 8428)

QString TLDT3ObjektIdent0037LineNode::BuildShortInfo() const
{
    return Append(ProbengefaessIdent(), QStringLiteral(", "), ProbenmaterialIdent());
}

LDT3_SINGLE(TLDT3ObjektIdent0043LineNode, Organisation_Firma, 1250)

QString TLDT3ObjektIdent0043LineNode::BuildShortInfo() const { return Organisation_Firma(); }

LDT3_OBJEKT(TLDT3ObjektIdent0045LineNode, Person, TLDT3ObjektIdent0047LineNode, 8147)

QString TLDT3ObjektIdent0045LineNode::BuildShortInfo() const
{
    const TLDT3ObjektIdent0047LineNode *person = Person();
    return person ? person->ShortInfo() : QString();
}

QString TLDT3ObjektIdent0047LineNode::Single(int AFK) const { return Initialised() ? SingleNodeInhalt(AFK) : QString(); }
LDT3_ARR(TLDT3ObjektIdent0047LineNode, Vorname_Arr, 3102)
LDT3_OBJEKT(TLDT3ObjektIdent0047LineNode, Wohnanschrift, TLDT3ObjektIdent0007LineNode, 8228)
LDT3_OBJEKT(TLDT3ObjektIdent0047LineNode, Anschrift_Arbeitsstelle, TLDT3ObjektIdent0007LineNode, 8229)
LDT3_OBJEKT(TLDT3ObjektIdent0047LineNode, Rechnungsanschrift, TLDT3ObjektIdent0007LineNode, 8230)
LDT3_OBJEKT(TLDT3ObjektIdent0047LineNode, Private_Kommunikationsdaten, TLDT3ObjektIdent0031LineNode, 8232)
LDT3_OBJEKT(TLDT3ObjektIdent0047LineNode, Geschaeftliche_Kommunikationsdaten, TLDT3ObjektIdent0031LineNode, 8233)

QString TLDT3ObjektIdent0047LineNode::BuildShortInfo() const
{
    if (!Initialised())
        return QString();
    // one pass over the children for the five name parts
    TFKScan s[] = {{3104}, {3102}, {3100}, {3120}, {3101}};
    ScanChilds(s, 5);
    QString r = s[0].Single();
    const QString sep = QStringLiteral(" ");
    if (s[1].Count > 0)
        for (const QString &v : ArrNodeInhalt(3102))
            AddWithSeparator(r, sep, v);
    AddWithSeparator(r, sep, s[2].Single());
    AddWithSeparator(r, sep, s[3].Single());
    AddWithSeparator(r, sep, s[4].Single());
    return r;
}

LDT3_SINGLE(TLDT3ObjektIdent0054LineNode, Datum_des_Timestamp, 7278)
LDT3_SINGLE(TLDT3ObjektIdent0054LineNode, Uhrzeit_des_Timestamp, 7279)
LDT3_SINGLE(TLDT3ObjektIdent0054LineNode, Freitext_zum_Timestamp, 7272)
LDT3_OBJEKT(TLDT3ObjektIdent0054LineNode, Person_zum_Timestamp, TLDT3ObjektIdent0047LineNode, 8235)

QString TLDT3ObjektIdent0054LineNode::ConvDatum() const
{
    return Initialised() ? FeldDict().GetBedeutung(7278, Datum_des_Timestamp()) : QString();
}

QString TLDT3ObjektIdent0054LineNode::ConvUhrzeit() const
{
    return Initialised() ? FeldDict().GetBedeutung(7279, Uhrzeit_des_Timestamp()) : QString();
}

QString TLDT3ObjektIdent0054LineNode::BuildShortInfo() const
{
    return Append(ConvDatum(), QStringLiteral(", "), ConvUhrzeit());
}

QString TLDT3ObjektIdent0059LineNode::BuildShortInfo() const
{
    if (!Initialised())
        return QString();
    // catalogue and test ident have no properties of their own
    TFKScan s[] = {{7260}, {8410}};
    ScanChilds(s, 2);
    return Append(s[0].Single(), QStringLiteral(", "), s[1].Single());
}

TObj_0069Rec TLDT3ObjektIdent0069LineNode::ReadMeasure(int AFK, const QString &ADefEinheit) const
{
    TObj_0069Rec r;
    TLDT3LineNode *n = nullptr;
    if (!Initialised() || !FindSingleNode(AFK, n))
        return r;
    r.Wert = n->Inhalt();
    r.Einheit = ADefEinheit;
    TLDT3LineNode *next = nullptr;
    if (!GetNextNode(n, next))
        return r;
    if (next->FK() == 8421) {
        r.Einheit = next->Inhalt();
        TLDT3LineNode *after = nullptr;
        if (!GetNextNode(next, after))
            return r;
        next = after;
    }
    if (next->FK() == 8225)
        r.Timestamp = dynamic_cast<TLDT3ObjektIdent0054LineNode *>(ObjektFromAttributNode(next));
    return r;
}

TObj_0069Rec TLDT3ObjektIdent0069LineNode::GroesseRec() const { return ReadMeasure(3622, QStringLiteral("cm")); }

TObj_0069Rec TLDT3ObjektIdent0069LineNode::GewichtRec() const { return ReadMeasure(3623, QStringLiteral("kg")); }

QString TLDT3ObjektIdent0069LineNode::BuildShortInfo() const
{
    const TObj_0069Rec groesse = GroesseRec();
    const TObj_0069Rec gewicht = GewichtRec();
    QString s = groesse.Wert;
    AddWithSeparator(s, QStringLiteral(" "), groesse.Einheit);
    AddWithSeparator(s, QStringLiteral(", "), gewicht.Wert);
    AddWithSeparator(s, QStringLiteral(" "), gewicht.Einheit);
    return s;
}

// ---------------------------------------------------------------------------
// Records

LDT3_OBJEKT(TLDT3SatzArt8220LineNode, Kopfdaten, TLDT3ObjektIdent0032LineNode, 8132)
LDT3_OBJEKT(TLDT3SatzArt8220LineNode, Laborkennung, TLDT3ObjektIdent0036LineNode, 8136)
LDT3_OBJEKT(TLDT3SatzArt8220LineNode, Betriebsstaette, TLDT3ObjektIdent0019LineNode, 8119)

LDT3_SINGLE(TLDT3SatzArt8221LineNode, Pruefsumme, 9300)

LDT3_OBJEKT(TLDT3SatzArt8230LineNode, Kopfdaten, TLDT3ObjektIdent0032LineNode, 8132)
LDT3_SINGLE(TLDT3SatzArt8230LineNode, Absender_des_Datensatzes, 7265)
LDT3_OBJEKT(TLDT3SatzArt8230LineNode, Einsenderidendifikation, TLDT3ObjektIdent0022LineNode, 8122)

LDT3_SINGLE(TLDT3SatzArt8231LineNode, Pruefsumme, 9300)

LDT3_OBJEKT(TLDT3SatzArt8205LineNode, Befundinformation, TLDT3ObjektIdent0017LineNode, 8117)

QString TLDT3SatzArt8205LineNode::BuildShortInfo() const
{
    const TLDT3ObjektIdent0017LineNode *info = Befundinformation();
    return Append(QString(), QStringLiteral(" "), info ? info->Auftragsnummer_des_Einsenders() : QString());
}

LDT3_OBJEKT(TLDT3SatzArt8215LineNode, Einsenderidendifikation, TLDT3ObjektIdent0022LineNode, 8122)
LDT3_OBJEKT(TLDT3SatzArt8215LineNode, Patient, TLDT3ObjektIdent0045LineNode, 8145)
LDT3_OBJEKT(TLDT3SatzArt8215LineNode, Koerperkenngroessen, TLDT3ObjektIdent0069LineNode, 8169)
LDT3_OBJEKT(TLDT3SatzArt8215LineNode, Auftragsinformation, TLDT3ObjektIdent0013LineNode, 8113)

QString TLDT3SatzArt8215LineNode::BuildShortInfo() const
{
    const TLDT3ObjektIdent0013LineNode *info = Auftragsinformation();
    return Append(QString(), QStringLiteral(" "), info ? info->Auftragsnummer_des_Einsenders() : QString());
}

#undef LDT3_SINGLE
#undef LDT3_ARR
#undef LDT3_OBJEKT
