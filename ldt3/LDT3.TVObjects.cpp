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
    return GetLDT3FeldDict()->GetBedeutung(9970, FDokumententyp);
}

void TLDT3ObjektIdent0013LineNode::InitNodeSelf()
{
    FAuftragsnummer_des_Einsenders = SingleNodeInhalt(8310);
    FID_Nachforderung_Arr = ArrNodeInhalt(8313);
    FID_Auftragsnummer_des_Labors = SingleNodeInhalt(8311);
    FShortInfo = BuildShortInfo();
}

QString TLDT3ObjektIdent0013LineNode::BuildShortInfo() const
{
    return OrderNumbers(FAuftragsnummer_des_Einsenders, FID_Auftragsnummer_des_Labors);
}

void TLDT3ObjektIdent0014LineNode::InitNodeSelf() { FPerson = SingleObjekt<TLDT3ObjektIdent0047LineNode>(8147); }

void TLDT3ObjektIdent0017LineNode::InitNodeSelf()
{
    FAuftragsnummer_des_Einsenders = SingleNodeInhalt(8310);
    FID_Auftragsnummer_des_Labors = SingleNodeInhalt(8311);
    FShortInfo = BuildShortInfo();
}

QString TLDT3ObjektIdent0017LineNode::BuildShortInfo() const
{
    return OrderNumbers(FAuftragsnummer_des_Einsenders, FID_Auftragsnummer_des_Labors);
}

void TLDT3ObjektIdent0022LineNode::InitNodeSelf()
{
    FStatusEinsender_Arr = ArrNodeInhalt(7321);
    FKunden_Arzt_Nummer = SingleNodeInhalt(8312);
    FID_des_Auftraggebers = SingleNodeInhalt(7267);
    FArztidentifikation = SingleObjekt<TLDT3ObjektIdent0014LineNode>(8114);
    FUeberweisung_von_anderen_Aerzten = SingleObjekt<TLDT3ObjektIdent0014LineNode>(8240);
    FUeberweisung_an = SingleObjekt<TLDT3ObjektIdent0014LineNode>(8241);
    FPerson = SingleObjekt<TLDT3ObjektIdent0047LineNode>(8147);
    FFachrichtung_oder_Stationskennung = SingleNodeInhalt(7268);
    FBetriebsstaette = SingleObjekt<TLDT3ObjektIdent0019LineNode>(8119);
    FOrganisation = SingleObjekt<TLDT3ObjektIdent0043LineNode>(8143);
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
    FProbengefaessIdent = SingleNodeInhalt(7364);
    FProbenmaterialIdent = SingleNodeInhalt(8428);
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
    FStatusPerson = SingleNodeInhalt(7420);
    FNamenszusatz = SingleNodeInhalt(3100);
    FVorsatzwort = SingleNodeInhalt(3120);
    FNachname = SingleNodeInhalt(3101);
    FVorname_Arr = ArrNodeInhalt(3102);
    FGeburtsdatum = SingleNodeInhalt(3103);
    FTitel = SingleNodeInhalt(3104);
    FGeschlecht = SingleNodeInhalt(3110);
    FMuttersprache = SingleNodeInhalt(3628);
    FNamenszeichen = SingleNodeInhalt(8990);
    FWohnanschrift = SingleObjekt<TLDT3ObjektIdent0007LineNode>(8228);
    FAnschrift_Arbeitsstelle = SingleObjekt<TLDT3ObjektIdent0007LineNode>(8229);
    FRechnungsanschrift = SingleObjekt<TLDT3ObjektIdent0007LineNode>(8230);
    FPrivate_Kommunikationsdaten = SingleObjekt<TLDT3ObjektIdent0031LineNode>(8232);
    FGeschaeftliche_Kommunikationsdaten = SingleObjekt<TLDT3ObjektIdent0031LineNode>(8233);
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
    FDatum_des_Timestamp = SingleNodeInhalt(7278);
    FUhrzeit_des_Timestamp = SingleNodeInhalt(7279);
    FFreitext_zum_Timestamp = SingleNodeInhalt(7272);
    FPerson_zum_Timestamp = SingleObjekt<TLDT3ObjektIdent0047LineNode>(8235);
    const TLDT3FeldDict *d = GetLDT3FeldDict();
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
    FIDKatalog_anforderbare_Leistungen = SingleNodeInhalt(7260);
    FTestIdent = SingleNodeInhalt(8410);
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
    FEinsenderidendifikation = SingleObjekt<TLDT3ObjektIdent0022LineNode>(8122);
    FPatient = SingleObjekt<TLDT3ObjektIdent0045LineNode>(8145);
    FKoerperkenngroessen = SingleObjekt<TLDT3ObjektIdent0069LineNode>(8169);
    FSchwangerschaft = SingleObjekt<TLDT3ObjektIdent0050LineNode>(8150);
    FMutterschaft = SingleObjekt<TLDT3ObjektIdent0040LineNode>(8140);
    FTier_Sonstiges = SingleObjekt<TLDT3ObjektIdent0053LineNode>(8153);
    FAuftragsinformation = SingleObjekt<TLDT3ObjektIdent0013LineNode>(8113);
    FShortInfo = BuildShortInfo();
}

QString TLDT3SatzArt8215LineNode::BuildShortInfo() const
{
    return Append(QString(), QStringLiteral(" "),
                  FAuftragsinformation ? FAuftragsinformation->Auftragsnummer_des_Einsenders() : QString());
}
