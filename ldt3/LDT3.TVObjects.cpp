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

void TLDT3ObjektIdent0010LineNode::InitNodeSelf()
{
    FDokumententyp = SingleNodeInhalt(9970);
    FShortInfo = BuildShortInfo();
}

QString TLDT3ObjektIdent0010LineNode::BuildShortInfo() const
{
    return FeldDict().GetBedeutung(9970, FDokumententyp);
}

void TLDT3ObjektIdent0013LineNode::InitNodeSelf()
{
    TFKScan s[] = {{8310}, {8313}, {8311}};
    ScanChilds(s, 3);
    FAuftragsnummer_des_Einsenders = s[0].Single();
    if (s[1].Count > 0)
        FID_Nachforderung_Arr = ArrNodeInhalt(8313);
    FID_Auftragsnummer_des_Labors = s[2].Single();
    FShortInfo = BuildShortInfo();
}

QString TLDT3ObjektIdent0013LineNode::BuildShortInfo() const
{
    return OrderNumbers(FAuftragsnummer_des_Einsenders, FID_Auftragsnummer_des_Labors);
}

void TLDT3ObjektIdent0014LineNode::InitNodeSelf() { FPerson = SingleObjekt<TLDT3ObjektIdent0047LineNode>(8147); }

void TLDT3ObjektIdent0017LineNode::InitNodeSelf()
{
    TFKScan s[] = {{8310}, {8311}};
    ScanChilds(s, 2);
    FAuftragsnummer_des_Einsenders = s[0].Single();
    FID_Auftragsnummer_des_Labors = s[1].Single();
    FShortInfo = BuildShortInfo();
}

QString TLDT3ObjektIdent0017LineNode::BuildShortInfo() const
{
    return OrderNumbers(FAuftragsnummer_des_Einsenders, FID_Auftragsnummer_des_Labors);
}

void TLDT3ObjektIdent0022LineNode::InitNodeSelf()
{
    TFKScan s[] = {{7321}, {8312}, {7267}, {8114}, {8240}, {8241}, {8147}, {7268}, {8119}, {8143}};
    ScanChilds(s, 10);
    if (s[0].Count > 0)
        FStatusEinsender_Arr = ArrNodeInhalt(7321);
    FKunden_Arzt_Nummer = s[1].Single();
    FID_des_Auftraggebers = s[2].Single();
    FArztidentifikation = s[3].Objekt<TLDT3ObjektIdent0014LineNode>();
    FUeberweisung_von_anderen_Aerzten = s[4].Objekt<TLDT3ObjektIdent0014LineNode>();
    FUeberweisung_an = s[5].Objekt<TLDT3ObjektIdent0014LineNode>();
    FPerson = s[6].Objekt<TLDT3ObjektIdent0047LineNode>();
    FFachrichtung_oder_Stationskennung = s[7].Single();
    FBetriebsstaette = s[8].Objekt<TLDT3ObjektIdent0019LineNode>();
    FOrganisation = s[9].Objekt<TLDT3ObjektIdent0043LineNode>();
    FShortInfo = BuildShortInfo();
}

QString TLDT3ObjektIdent0022LineNode::BuildShortInfo() const
{
    QString s = FKunden_Arzt_Nummer;
    if (FArztidentifikation && FArztidentifikation->Person())
        AddWithSeparator(s, QStringLiteral(", "), FArztidentifikation->Person()->ShortInfo());
    return s;
}

void TLDT3ObjektIdent0032LineNode::InitNodeSelf()
{
    FSendendes_System = SingleObjekt<TLDT3ObjektIdent0051LineNode>(8151);
    FTimestamp_Erstellung_Datensatz = SingleObjekt<TLDT3ObjektIdent0054LineNode>(8218);
    FSoftwareverantwortlicher = SingleObjekt<TLDT3ObjektIdent0043LineNode>(8212);
}

void TLDT3ObjektIdent0036LineNode::InitNodeSelf()
{
    FLaborbezeichnung = SingleObjekt<TLDT3ObjektIdent0043LineNode>(8239);
    FURL_Kataloge_Arr = ArrNodeInhalt(7352);
    FID_eines_Laborstandortes = SingleNodeInhalt(8324);
    FLaborart = SingleNodeInhalt(7266);
}

void TLDT3ObjektIdent0037LineNode::InitNodeSelf()
{
    TFKScan s[] = {{7364}, {8428}};
    ScanChilds(s, 2);
    FProbengefaessIdent = s[0].Single();
    FProbenmaterialIdent = s[1].Single();
    FShortInfo = BuildShortInfo();
}

QString TLDT3ObjektIdent0037LineNode::BuildShortInfo() const
{
    return Append(FProbengefaessIdent, QStringLiteral(", "), FProbenmaterialIdent);
}

void TLDT3ObjektIdent0043LineNode::InitNodeSelf()
{
    FOrganisation_Firma = SingleNodeInhalt(1250);
    FShortInfo = BuildShortInfo();
}

QString TLDT3ObjektIdent0043LineNode::BuildShortInfo() const { return FOrganisation_Firma; }

void TLDT3ObjektIdent0045LineNode::InitNodeSelf()
{
    FPerson = SingleObjekt<TLDT3ObjektIdent0047LineNode>(8147);
    FShortInfo = BuildShortInfo();
}

QString TLDT3ObjektIdent0045LineNode::BuildShortInfo() const { return FPerson ? FPerson->ShortInfo() : QString(); }

void TLDT3ObjektIdent0047LineNode::InitNodeSelf()
{
    TFKScan s[] = {{7420}, {3100}, {3120}, {3101}, {3102}, {3103}, {3104}, {3110},
                   {3628}, {8990}, {8228}, {8229}, {8230}, {8232}, {8233}};
    ScanChilds(s, 15);
    FStatusPerson = s[0].Single();
    FNamenszusatz = s[1].Single();
    FVorsatzwort = s[2].Single();
    FNachname = s[3].Single();
    if (s[4].Count > 0)
        FVorname_Arr = ArrNodeInhalt(3102);
    FGeburtsdatum = s[5].Single();
    FTitel = s[6].Single();
    FGeschlecht = s[7].Single();
    FMuttersprache = s[8].Single();
    FNamenszeichen = s[9].Single();
    FWohnanschrift = s[10].Objekt<TLDT3ObjektIdent0007LineNode>();
    FAnschrift_Arbeitsstelle = s[11].Objekt<TLDT3ObjektIdent0007LineNode>();
    FRechnungsanschrift = s[12].Objekt<TLDT3ObjektIdent0007LineNode>();
    FPrivate_Kommunikationsdaten = s[13].Objekt<TLDT3ObjektIdent0031LineNode>();
    FGeschaeftliche_Kommunikationsdaten = s[14].Objekt<TLDT3ObjektIdent0031LineNode>();
    FShortInfo = BuildShortInfo();
}

QString TLDT3ObjektIdent0047LineNode::BuildShortInfo() const
{
    QString s = FTitel;
    const QString sep = QStringLiteral(" ");
    for (const QString &v : FVorname_Arr)
        AddWithSeparator(s, sep, v);
    AddWithSeparator(s, sep, FNamenszusatz);
    AddWithSeparator(s, sep, FVorsatzwort);
    AddWithSeparator(s, sep, FNachname);
    return s;
}

void TLDT3ObjektIdent0054LineNode::InitNodeSelf()
{
    TFKScan s[] = {{7278}, {7279}, {7272}, {8235}};
    ScanChilds(s, 4);
    FDatum_des_Timestamp = s[0].Single();
    FUhrzeit_des_Timestamp = s[1].Single();
    FFreitext_zum_Timestamp = s[2].Single();
    FPerson_zum_Timestamp = s[3].Objekt<TLDT3ObjektIdent0047LineNode>();
    const TLDT3FeldDict *d = &FeldDict();
    FConvDatum = d->GetBedeutung(7278, FDatum_des_Timestamp);
    FConvUhrzeit = d->GetBedeutung(7279, FUhrzeit_des_Timestamp);
    FShortInfo = BuildShortInfo();
}

QString TLDT3ObjektIdent0054LineNode::BuildShortInfo() const
{
    return Append(FConvDatum, QStringLiteral(", "), FConvUhrzeit);
}

void TLDT3ObjektIdent0059LineNode::InitNodeSelf()
{
    TFKScan s[] = {{7260}, {8410}};
    ScanChilds(s, 2);
    FIDKatalog_anforderbare_Leistungen = s[0].Single();
    FTestIdent = s[1].Single();
    FShortInfo = BuildShortInfo();
}

QString TLDT3ObjektIdent0059LineNode::BuildShortInfo() const
{
    return Append(FIDKatalog_anforderbare_Leistungen, QStringLiteral(", "), FTestIdent);
}

void TLDT3ObjektIdent0069LineNode::ReadMeasure(int AFK, const QString &ADefEinheit, TObj_0069Rec &ARec) const
{
    ARec = TObj_0069Rec();
    TLDT3LineNode *n = nullptr;
    if (!FindSingleNode(AFK, n))
        return;
    ARec.Wert = n->Inhalt();
    ARec.Einheit = ADefEinheit;
    TLDT3LineNode *next = nullptr;
    if (!GetNextNode(n, next))
        return;
    if (next->FK() == 8421) {
        ARec.Einheit = next->Inhalt();
        TLDT3LineNode *after = nullptr;
        if (!GetNextNode(next, after))
            return;
        next = after;
    }
    if (next->FK() == 8225)
        ARec.Timestamp = dynamic_cast<TLDT3ObjektIdent0054LineNode *>(ObjektFromAttributNode(next));
}

void TLDT3ObjektIdent0069LineNode::InitNodeSelf()
{
    ReadMeasure(3622, QStringLiteral("cm"), FGroesseRec);
    ReadMeasure(3623, QStringLiteral("kg"), FGewichtRec);
    FShortInfo = BuildShortInfo();
}

QString TLDT3ObjektIdent0069LineNode::BuildShortInfo() const
{
    QString s = FGroesseRec.Wert;
    AddWithSeparator(s, QStringLiteral(" "), FGroesseRec.Einheit);
    AddWithSeparator(s, QStringLiteral(", "), FGewichtRec.Wert);
    AddWithSeparator(s, QStringLiteral(" "), FGewichtRec.Einheit);
    return s;
}

// ---------------------------------------------------------------------------
// Records

void TLDT3SatzArt8220LineNode::InitNodeSelf()
{
    FKopfdaten = SingleObjekt<TLDT3ObjektIdent0032LineNode>(8132);
    FLaborkennung = SingleObjekt<TLDT3ObjektIdent0036LineNode>(8136);
    FBetriebsstaette = SingleObjekt<TLDT3ObjektIdent0019LineNode>(8119);
}

void TLDT3SatzArt8221LineNode::InitNodeSelf() { FPruefsumme = SingleNodeInhalt(9300); }

void TLDT3SatzArt8230LineNode::InitNodeSelf()
{
    FKopfdaten = SingleObjekt<TLDT3ObjektIdent0032LineNode>(8132);
    FAbsender_des_Datensatzes = SingleNodeInhalt(7265);
    FEinsenderidendifikation = SingleObjekt<TLDT3ObjektIdent0022LineNode>(8122);
}

void TLDT3SatzArt8231LineNode::InitNodeSelf() { FPruefsumme = SingleNodeInhalt(9300); }

void TLDT3SatzArt8205LineNode::InitNodeSelf()
{
    FBefundinformation = SingleObjekt<TLDT3ObjektIdent0017LineNode>(8117);
    FShortInfo = BuildShortInfo();
}

QString TLDT3SatzArt8205LineNode::BuildShortInfo() const
{
    return Append(QString(), QStringLiteral(" "),
                  FBefundinformation ? FBefundinformation->Auftragsnummer_des_Einsenders() : QString());
}

void TLDT3SatzArt8215LineNode::InitNodeSelf()
{
    TFKScan s[] = {{8122}, {8145}, {8169}, {8150}, {8140}, {8153}, {8113}};
    ScanChilds(s, 7);
    FEinsenderidendifikation = s[0].Objekt<TLDT3ObjektIdent0022LineNode>();
    FPatient = s[1].Objekt<TLDT3ObjektIdent0045LineNode>();
    FKoerperkenngroessen = s[2].Objekt<TLDT3ObjektIdent0069LineNode>();
    FSchwangerschaft = s[3].Objekt<TLDT3ObjektIdent0050LineNode>();
    FMutterschaft = s[4].Objekt<TLDT3ObjektIdent0040LineNode>();
    FTier_Sonstiges = s[5].Objekt<TLDT3ObjektIdent0053LineNode>();
    FAuftragsinformation = s[6].Objekt<TLDT3ObjektIdent0013LineNode>();
    FShortInfo = BuildShortInfo();
}

QString TLDT3SatzArt8215LineNode::BuildShortInfo() const
{
    return Append(QString(), QStringLiteral(" "),
                  FAuftragsinformation ? FAuftragsinformation->Auftragsnummer_des_Einsenders() : QString());
}
