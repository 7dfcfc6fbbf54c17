// Record and object nodes that pick their telling data (order numbers, names,
// dates, body measures) out of their children when the tree is initialised,
// and show it as short information in the captions.
#pragma once

#include "LDT3.TVBase.h"


// Object classes that carry no data of their own: one class per object
// number, behaving as the plain object node.
template <int N>
class TLDT3ObjektIdentPlainLineNode : public TLDT3ObjektIdentLineNode
{
public:
    static TLDT3NodeClass Class();
    TLDT3NodeClass ClassType() const override { return Class(); }
};

#define LDT3_PLAIN_OBJEKT(NNNN, N)                                                                 \
    extern template class TLDT3ObjektIdentPlainLineNode<N>;                                        \
    using TLDT3ObjektIdent##NNNN##LineNode = TLDT3ObjektIdentPlainLineNode<N>;

LDT3_PLAIN_OBJEKT(0001, 1)   // Abrechnungsinformationen
LDT3_PLAIN_OBJEKT(0002, 2)   // Abrechnung GKV
LDT3_PLAIN_OBJEKT(0003, 3)   // Abrechnung PKV
LDT3_PLAIN_OBJEKT(0004, 4)   // Abrechnung Ige-Leistungen
LDT3_PLAIN_OBJEKT(0005, 5)   // Abrechnung sonstige Kostenübernahme
LDT3_PLAIN_OBJEKT(0006, 6)   // Abrechnung Selektivvertrag
LDT3_PLAIN_OBJEKT(0007, 7)   // Anschrift
LDT3_PLAIN_OBJEKT(0008, 8)   // Adressat
LDT3_PLAIN_OBJEKT(0011, 11)  // Antibiogramm
LDT3_PLAIN_OBJEKT(0019, 19)  // Betriebsstaette
LDT3_PLAIN_OBJEKT(0026, 26)  // Fehlermeldung/Aufmerksamkeit
LDT3_PLAIN_OBJEKT(0027, 27)  // Veranlassungsgrund
LDT3_PLAIN_OBJEKT(0031, 31)  // Kommunikationsdaten
LDT3_PLAIN_OBJEKT(0034, 34)  // Krebsfrueherkennung Frauen (Muster39)
LDT3_PLAIN_OBJEKT(0035, 35)  // Laborergebnisbericht
LDT3_PLAIN_OBJEKT(0040, 40)  // Mutterschaft
LDT3_PLAIN_OBJEKT(0041, 41)  // Namenskennung
LDT3_PLAIN_OBJEKT(0042, 42)  // Normalwert
LDT3_PLAIN_OBJEKT(0048, 48)  // RgEmpfaenger
LDT3_PLAIN_OBJEKT(0050, 50)  // Schwangerschaft
LDT3_PLAIN_OBJEKT(0051, 51)  // Sendendes System
LDT3_PLAIN_OBJEKT(0053, 53)  // Tier/Sonstiges
LDT3_PLAIN_OBJEKT(0055, 55)  // Transfusionsmedizin/Mutterschaftsvorsorge
LDT3_PLAIN_OBJEKT(0056, 56)  // Tumor
LDT3_PLAIN_OBJEKT(0058, 58)  // Untersuchungsabrechnung
LDT3_PLAIN_OBJEKT(0061, 61)  // Untersuchungsergebnis Mikrobiologie
LDT3_PLAIN_OBJEKT(0062, 62)  // Untersuchungsergebnis Zytologie Krebsvorsorge
LDT3_PLAIN_OBJEKT(0063, 63)  // Untersuchungsergebnis Zytologie
LDT3_PLAIN_OBJEKT(0068, 68)  // Fließtext
LDT3_PLAIN_OBJEKT(0070, 70)  // Medikament
LDT3_PLAIN_OBJEKT(0071, 71)  // Wirkstoff
LDT3_PLAIN_OBJEKT(0100, 100) // Diagnose
#undef LDT3_PLAIN_OBJEKT

// ---------------------------------------------------------------------------
// Objects with data

// Anhang
class TLDT3ObjektIdent0010LineNode : public TLDT3ObjektIdentLineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0010LineNode)
public:
    const QString &Dokumententyp() const { return FDokumententyp; }
    QString BuildShortInfo() const override;

protected:
    void InitNodeSelf() override;

private:
    QString FDokumententyp;
};

// Auftragsinformation
class TLDT3ObjektIdent0013LineNode : public TLDT3ObjektIdentLineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0013LineNode)
public:
    const QString &Auftragsnummer_des_Einsenders() const { return FAuftragsnummer_des_Einsenders; }
    QString BuildShortInfo() const override;

protected:
    void InitNodeSelf() override;

private:
    QString FAuftragsnummer_des_Einsenders;
    QStringList FID_Nachforderung_Arr;
    QString FID_Auftragsnummer_des_Labors;
};

// Person
class TLDT3ObjektIdent0047LineNode : public TLDT3ObjektIdentLineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0047LineNode)
public:
    const QString &StatusPerson() const { return FStatusPerson; }
    const QString &Namenszusatz() const { return FNamenszusatz; }
    const QString &Vorsatzwort() const { return FVorsatzwort; }
    const QString &Nachname() const { return FNachname; }
    const QStringList &Vorname_Arr() const { return FVorname_Arr; }
    const QString &Geburtsdatum() const { return FGeburtsdatum; }
    const QString &Titel() const { return FTitel; }
    const QString &Geschlecht() const { return FGeschlecht; }
    const QString &Muttersprache() const { return FMuttersprache; }
    const QString &Namenszeichen() const { return FNamenszeichen; }
    TLDT3ObjektIdent0007LineNode *Wohnanschrift() const { return FWohnanschrift; }
    TLDT3ObjektIdent0007LineNode *Anschrift_Arbeitsstelle() const { return FAnschrift_Arbeitsstelle; }
    TLDT3ObjektIdent0007LineNode *Rechnungsanschrift() const { return FRechnungsanschrift; }
    TLDT3ObjektIdent0031LineNode *Private_Kommunikationsdaten() const { return FPrivate_Kommunikationsdaten; }
    TLDT3ObjektIdent0031LineNode *Geschaeftliche_Kommunikationsdaten() const { return FGeschaeftliche_Kommunikationsdaten; }
    QString BuildShortInfo() const override;

protected:
    void InitNodeSelf() override;

private:
    QString FStatusPerson;
    QString FNamenszusatz;
    QString FVorsatzwort;
    QString FNachname;
    QStringList FVorname_Arr;
    QString FGeburtsdatum;
    QString FTitel;
    QString FGeschlecht;
    QString FMuttersprache;
    QString FNamenszeichen;
    TLDT3ObjektIdent0007LineNode *FWohnanschrift = nullptr;
    TLDT3ObjektIdent0007LineNode *FAnschrift_Arbeitsstelle = nullptr;
    TLDT3ObjektIdent0007LineNode *FRechnungsanschrift = nullptr;
    TLDT3ObjektIdent0031LineNode *FPrivate_Kommunikationsdaten = nullptr;
    TLDT3ObjektIdent0031LineNode *FGeschaeftliche_Kommunikationsdaten = nullptr;
};

// Arztidentifikation
class TLDT3ObjektIdent0014LineNode : public TLDT3ObjektIdentLineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0014LineNode)
public:
    TLDT3ObjektIdent0047LineNode *Person() const { return FPerson; }

protected:
    void InitNodeSelf() override;

private:
    TLDT3ObjektIdent0047LineNode *FPerson = nullptr;
};

// Befundinformationen
class TLDT3ObjektIdent0017LineNode : public TLDT3ObjektIdentLineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0017LineNode)
public:
    const QString &Auftragsnummer_des_Einsenders() const { return FAuftragsnummer_des_Einsenders; }
    const QString &ID_Auftragsnummer_des_Labors() const { return FID_Auftragsnummer_des_Labors; }
    QString BuildShortInfo() const override;

protected:
    void InitNodeSelf() override;

private:
    QString FAuftragsnummer_des_Einsenders;
    QString FID_Auftragsnummer_des_Labors;
};

// Organisation
class TLDT3ObjektIdent0043LineNode : public TLDT3ObjektIdentLineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0043LineNode)
public:
    const QString &Organisation_Firma() const { return FOrganisation_Firma; }
    QString BuildShortInfo() const override;

protected:
    void InitNodeSelf() override;

private:
    QString FOrganisation_Firma;
};

// Einsenderidentifikation
class TLDT3ObjektIdent0022LineNode : public TLDT3ObjektIdentLineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0022LineNode)
public:
    const QStringList &StatusEinsender_Arr() const { return FStatusEinsender_Arr; }
    const QString &Kunden_Arzt_Nummer() const { return FKunden_Arzt_Nummer; }
    const QString &ID_des_Auftraggebers() const { return FID_des_Auftraggebers; }
    TLDT3ObjektIdent0014LineNode *Arztidentifikation() const { return FArztidentifikation; }
    TLDT3ObjektIdent0014LineNode *Ueberweisung_von_anderen_Aerzten() const { return FUeberweisung_von_anderen_Aerzten; }
    TLDT3ObjektIdent0014LineNode *Ueberweisung_an() const { return FUeberweisung_an; }
    TLDT3ObjektIdent0047LineNode *Person() const { return FPerson; }
    const QString &Fachrichtung_oder_Stationskennung() const { return FFachrichtung_oder_Stationskennung; }
    TLDT3ObjektIdent0019LineNode *Betriebsstaette() const { return FBetriebsstaette; }
    TLDT3ObjektIdent0043LineNode *Organisation() const { return FOrganisation; }
    QString BuildShortInfo() const override;

protected:
    void InitNodeSelf() override;

private:
    QStringList FStatusEinsender_Arr;
    QString FKunden_Arzt_Nummer;
    QString FID_des_Auftraggebers;
    TLDT3ObjektIdent0014LineNode *FArztidentifikation = nullptr;
    TLDT3ObjektIdent0014LineNode *FUeberweisung_von_anderen_Aerzten = nullptr;
    TLDT3ObjektIdent0014LineNode *FUeberweisung_an = nullptr;
    TLDT3ObjektIdent0047LineNode *FPerson = nullptr;
    QString FFachrichtung_oder_Stationskennung;
    TLDT3ObjektIdent0019LineNode *FBetriebsstaette = nullptr;
    TLDT3ObjektIdent0043LineNode *FOrganisation = nullptr;
};

// Timestamp
class TLDT3ObjektIdent0054LineNode : public TLDT3ObjektIdentLineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0054LineNode)
public:
    const QString &Datum_des_Timestamp() const { return FDatum_des_Timestamp; }
    const QString &Uhrzeit_des_Timestamp() const { return FUhrzeit_des_Timestamp; }
    const QString &Freitext_zum_Timestamp() const { return FFreitext_zum_Timestamp; }
    TLDT3ObjektIdent0047LineNode *Person_zum_Timestamp() const { return FPerson_zum_Timestamp; }
    const QString &ConvDatum() const { return FConvDatum; }
    const QString &ConvUhrzeit() const { return FConvUhrzeit; }
    QString BuildShortInfo() const override;

protected:
    void InitNodeSelf() override;

private:
    QString FDatum_des_Timestamp;
    QString FUhrzeit_des_Timestamp;
    QString FFreitext_zum_Timestamp;
    TLDT3ObjektIdent0047LineNode *FPerson_zum_Timestamp = nullptr;
    QString FConvDatum;
    QString FConvUhrzeit;
};

// Kopfdaten
class TLDT3ObjektIdent0032LineNode : public TLDT3ObjektIdentLineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0032LineNode)
public:
    TLDT3ObjektIdent0051LineNode *Sendendes_System() const { return FSendendes_System; }
    TLDT3ObjektIdent0054LineNode *Timestamp_Erstellung_Datensatz() const { return FTimestamp_Erstellung_Datensatz; }
    TLDT3ObjektIdent0043LineNode *Softwareverantwortlicher() const { return FSoftwareverantwortlicher; }

protected:
    void InitNodeSelf() override;

private:
    TLDT3ObjektIdent0051LineNode *FSendendes_System = nullptr;
    TLDT3ObjektIdent0054LineNode *FTimestamp_Erstellung_Datensatz = nullptr;
    TLDT3ObjektIdent0043LineNode *FSoftwareverantwortlicher = nullptr;
};

// Laborkennung
class TLDT3ObjektIdent0036LineNode : public TLDT3ObjektIdentLineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0036LineNode)
public:
    TLDT3ObjektIdent0043LineNode *Laborbezeichnung() const { return FLaborbezeichnung; }
    const QStringList &URL_Kataloge_Arr() const { return FURL_Kataloge_Arr; }
    const QString &ID_eines_Laborstandortes() const { return FID_eines_Laborstandortes; }
    const QString &Laborart() const { return FLaborart; }

protected:
    void InitNodeSelf() override;

private:
    TLDT3ObjektIdent0043LineNode *FLaborbezeichnung = nullptr;
    QStringList FURL_Kataloge_Arr;
    QString FID_eines_Laborstandortes;
    QString FLaborart;
};

// Material
class TLDT3ObjektIdent0037LineNode : public TLDT3ObjektIdentLineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0037LineNode)
public:
    const QString &ProbengefaessIdent() const { return FProbengefaessIdent; }
    const QString &ProbenmaterialIdent() const { return FProbenmaterialIdent; }
    QString BuildShortInfo() const override;

protected:
    void InitNodeSelf() override;

private:
    QString FProbengefaessIdent;
    QString FProbenmaterialIdent;
};

// Patient
class TLDT3ObjektIdent0045LineNode : public TLDT3ObjektIdentLineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0045LineNode)
public:
    TLDT3ObjektIdent0047LineNode *Person() const { return FPerson; }
    QString BuildShortInfo() const override;

protected:
    void InitNodeSelf() override;

private:
    TLDT3ObjektIdent0047LineNode *FPerson = nullptr;
};

// Untersuchungsanforderung; Untersuchungsergebnis Klinische Chemie (0060) is alike.
class TLDT3ObjektIdent0059LineNode : public TLDT3ObjektIdentLineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0059LineNode)
public:
    QString BuildShortInfo() const override;

protected:
    void InitNodeSelf() override;

private:
    QString FIDKatalog_anforderbare_Leistungen;
    QString FTestIdent;
};

class TLDT3ObjektIdent0060LineNode : public TLDT3ObjektIdent0059LineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0060LineNode)
};

// One body measure of Koerperkenngroessen.
struct TObj_0069Rec
{
    QString Wert;
    QString Einheit;
    TLDT3ObjektIdent0054LineNode *Timestamp = nullptr;
};

// Koerperkenngroessen
class TLDT3ObjektIdent0069LineNode : public TLDT3ObjektIdentLineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0069LineNode)
public:
    const TObj_0069Rec &GroesseRec() const { return FGroesseRec; }
    const TObj_0069Rec &GewichtRec() const { return FGewichtRec; }
    QString BuildShortInfo() const override;

protected:
    void InitNodeSelf() override;

private:
    void ReadMeasure(int AFK, const QString &ADefEinheit, TObj_0069Rec &ARec) const;

    TObj_0069Rec FGroesseRec;
    TObj_0069Rec FGewichtRec;
};

// ---------------------------------------------------------------------------
// Records

// L (Labor)-Datenpaket-Header
class TLDT3SatzArt8220LineNode : public TLDT3SatzArtLineNode
{
    LDT3_NODE_CLASS(TLDT3SatzArt8220LineNode)
public:
    TLDT3ObjektIdent0032LineNode *Kopfdaten() const { return FKopfdaten; }
    TLDT3ObjektIdent0036LineNode *Laborkennung() const { return FLaborkennung; }
    TLDT3ObjektIdent0019LineNode *Betriebsstaette() const { return FBetriebsstaette; }

protected:
    void InitNodeSelf() override;

private:
    TLDT3ObjektIdent0032LineNode *FKopfdaten = nullptr;
    TLDT3ObjektIdent0036LineNode *FLaborkennung = nullptr;
    TLDT3ObjektIdent0019LineNode *FBetriebsstaette = nullptr;
};

// L (Labor)-Datenpaket-Abschluss
class TLDT3SatzArt8221LineNode : public TLDT3SatzArtLineNode
{
    LDT3_NODE_CLASS(TLDT3SatzArt8221LineNode)
public:
    const QString &Pruefsumme() const { return FPruefsumme; }

protected:
    void InitNodeSelf() override;

private:
    QString FPruefsumme;
};

// P (Praxis)-Datenpaket-Header
class TLDT3SatzArt8230LineNode : public TLDT3SatzArtLineNode
{
    LDT3_NODE_CLASS(TLDT3SatzArt8230LineNode)
public:
    TLDT3ObjektIdent0032LineNode *Kopfdaten() const { return FKopfdaten; }
    const QString &Absender_des_Datensatzes() const { return FAbsender_des_Datensatzes; }
    TLDT3ObjektIdent0022LineNode *Einsenderidendifikation() const { return FEinsenderidendifikation; }

protected:
    void InitNodeSelf() override;

private:
    TLDT3ObjektIdent0032LineNode *FKopfdaten = nullptr;
    QString FAbsender_des_Datensatzes;
    TLDT3ObjektIdent0022LineNode *FEinsenderidendifikation = nullptr;
};

// P (Praxis)-Datenpaket-Abschluss
class TLDT3SatzArt8231LineNode : public TLDT3SatzArtLineNode
{
    LDT3_NODE_CLASS(TLDT3SatzArt8231LineNode)
public:
    const QString &Pruefsumme() const { return FPruefsumme; }

protected:
    void InitNodeSelf() override;

private:
    QString FPruefsumme;
};

// Befund
class TLDT3SatzArt8205LineNode : public TLDT3SatzArtLineNode
{
    LDT3_NODE_CLASS(TLDT3SatzArt8205LineNode)
public:
    TLDT3ObjektIdent0017LineNode *Befundinformation() const { return FBefundinformation; }
    QString BuildShortInfo() const override;

protected:
    void InitNodeSelf() override;

private:
    TLDT3ObjektIdent0017LineNode *FBefundinformation = nullptr;
};

// Auftrag
class TLDT3SatzArt8215LineNode : public TLDT3SatzArtLineNode
{
    LDT3_NODE_CLASS(TLDT3SatzArt8215LineNode)
public:
    TLDT3ObjektIdent0022LineNode *Einsenderidendifikation() const { return FEinsenderidendifikation; }
    TLDT3ObjektIdent0045LineNode *Patient() const { return FPatient; }
    TLDT3ObjektIdent0069LineNode *Koerperkenngroessen() const { return FKoerperkenngroessen; }
    TLDT3ObjektIdent0013LineNode *Auftragsinformation() const { return FAuftragsinformation; }
    QString BuildShortInfo() const override;

protected:
    void InitNodeSelf() override;

private:
    TLDT3ObjektIdent0022LineNode *FEinsenderidendifikation = nullptr;
    TLDT3ObjektIdent0045LineNode *FPatient = nullptr;
    TLDT3ObjektIdent0069LineNode *FKoerperkenngroessen = nullptr;
    TLDT3ObjektIdent0050LineNode *FSchwangerschaft = nullptr;
    TLDT3ObjektIdent0040LineNode *FMutterschaft = nullptr;
    TLDT3ObjektIdent0053LineNode *FTier_Sonstiges = nullptr;
    TLDT3ObjektIdent0013LineNode *FAuftragsinformation = nullptr;
};
