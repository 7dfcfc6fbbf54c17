// Record and object nodes that pick their telling data (order numbers, names,
// dates, body measures) out of their children, and show it as short
// information in the captions. Nothing is stored: each property is read from
// the children when asked, and is empty (or null) until InitNode has run.
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
    QString Dokumententyp() const;
    QString BuildShortInfo() const override;
};

// Auftragsinformation
class TLDT3ObjektIdent0013LineNode : public TLDT3ObjektIdentLineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0013LineNode)
public:
    QString Auftragsnummer_des_Einsenders() const;
    QString BuildShortInfo() const override;
};

// Person
class TLDT3ObjektIdent0047LineNode : public TLDT3ObjektIdentLineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0047LineNode)
public:
    QString StatusPerson() const { return Single(7420); }
    QString Namenszusatz() const { return Single(3100); }
    QString Vorsatzwort() const { return Single(3120); }
    QString Nachname() const { return Single(3101); }
    QStringList Vorname_Arr() const;
    QString Geburtsdatum() const { return Single(3103); }
    QString Titel() const { return Single(3104); }
    QString Geschlecht() const { return Single(3110); }
    QString Muttersprache() const { return Single(3628); }
    QString Namenszeichen() const { return Single(8990); }
    TLDT3ObjektIdent0007LineNode *Wohnanschrift() const;
    TLDT3ObjektIdent0007LineNode *Anschrift_Arbeitsstelle() const;
    TLDT3ObjektIdent0007LineNode *Rechnungsanschrift() const;
    TLDT3ObjektIdent0031LineNode *Private_Kommunikationsdaten() const;
    TLDT3ObjektIdent0031LineNode *Geschaeftliche_Kommunikationsdaten() const;
    QString BuildShortInfo() const override;

private:
    QString Single(int AFK) const;
};

// Arztidentifikation
class TLDT3ObjektIdent0014LineNode : public TLDT3ObjektIdentLineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0014LineNode)
public:
    TLDT3ObjektIdent0047LineNode *Person() const;
};

// Befundinformationen
class TLDT3ObjektIdent0017LineNode : public TLDT3ObjektIdentLineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0017LineNode)
public:
    QString Auftragsnummer_des_Einsenders() const;
    QString ID_Auftragsnummer_des_Labors() const;
    QString BuildShortInfo() const override;
};

// Organisation
class TLDT3ObjektIdent0043LineNode : public TLDT3ObjektIdentLineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0043LineNode)
public:
    QString Organisation_Firma() const;
    QString BuildShortInfo() const override;
};

// Einsenderidentifikation
class TLDT3ObjektIdent0022LineNode : public TLDT3ObjektIdentLineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0022LineNode)
public:
    QStringList StatusEinsender_Arr() const;
    QString Kunden_Arzt_Nummer() const;
    QString ID_des_Auftraggebers() const;
    TLDT3ObjektIdent0014LineNode *Arztidentifikation() const;
    TLDT3ObjektIdent0014LineNode *Ueberweisung_von_anderen_Aerzten() const;
    TLDT3ObjektIdent0014LineNode *Ueberweisung_an() const;
    TLDT3ObjektIdent0047LineNode *Person() const;
    QString Fachrichtung_oder_Stationskennung() const;
    TLDT3ObjektIdent0019LineNode *Betriebsstaette() const;
    TLDT3ObjektIdent0043LineNode *Organisation() const;
    QString BuildShortInfo() const override;
};

// Timestamp
class TLDT3ObjektIdent0054LineNode : public TLDT3ObjektIdentLineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0054LineNode)
public:
    QString Datum_des_Timestamp() const;
    QString Uhrzeit_des_Timestamp() const;
    QString Freitext_zum_Timestamp() const;
    TLDT3ObjektIdent0047LineNode *Person_zum_Timestamp() const;
    // The date and the time in readable form (the meanings of their contents).
    QString ConvDatum() const;
    QString ConvUhrzeit() const;
    QString BuildShortInfo() const override;
};

// Kopfdaten
class TLDT3ObjektIdent0032LineNode : public TLDT3ObjektIdentLineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0032LineNode)
public:
    TLDT3ObjektIdent0051LineNode *Sendendes_System() const;
    TLDT3ObjektIdent0054LineNode *Timestamp_Erstellung_Datensatz() const;
    TLDT3ObjektIdent0043LineNode *Softwareverantwortlicher() const;
};

// Laborkennung
class TLDT3ObjektIdent0036LineNode : public TLDT3ObjektIdentLineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0036LineNode)
public:
    TLDT3ObjektIdent0043LineNode *Laborbezeichnung() const;
    QStringList URL_Kataloge_Arr() const;
    QString ID_eines_Laborstandortes() const;
    QString Laborart() const;
};

// Material
class TLDT3ObjektIdent0037LineNode : public TLDT3ObjektIdentLineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0037LineNode)
public:
    QString ProbengefaessIdent() const;
    QString ProbenmaterialIdent() const;
    QString BuildShortInfo() const override;
};

// Patient
class TLDT3ObjektIdent0045LineNode : public TLDT3ObjektIdentLineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0045LineNode)
public:
    TLDT3ObjektIdent0047LineNode *Person() const;
    QString BuildShortInfo() const override;
};

// Untersuchungsanforderung; Untersuchungsergebnis Klinische Chemie (0060) is alike.
class TLDT3ObjektIdent0059LineNode : public TLDT3ObjektIdentLineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdent0059LineNode)
public:
    QString BuildShortInfo() const override;
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
    TObj_0069Rec GroesseRec() const;
    TObj_0069Rec GewichtRec() const;
    QString BuildShortInfo() const override;

private:
    TObj_0069Rec ReadMeasure(int AFK, const QString &ADefEinheit) const;
};

// ---------------------------------------------------------------------------
// Records

// L (Labor)-Datenpaket-Header
class TLDT3SatzArt8220LineNode : public TLDT3SatzArtLineNode
{
    LDT3_NODE_CLASS(TLDT3SatzArt8220LineNode)
public:
    TLDT3ObjektIdent0032LineNode *Kopfdaten() const;
    TLDT3ObjektIdent0036LineNode *Laborkennung() const;
    TLDT3ObjektIdent0019LineNode *Betriebsstaette() const;
};

// L (Labor)-Datenpaket-Abschluss
class TLDT3SatzArt8221LineNode : public TLDT3SatzArtLineNode
{
    LDT3_NODE_CLASS(TLDT3SatzArt8221LineNode)
public:
    QString Pruefsumme() const;
};

// P (Praxis)-Datenpaket-Header
class TLDT3SatzArt8230LineNode : public TLDT3SatzArtLineNode
{
    LDT3_NODE_CLASS(TLDT3SatzArt8230LineNode)
public:
    TLDT3ObjektIdent0032LineNode *Kopfdaten() const;
    QString Absender_des_Datensatzes() const;
    TLDT3ObjektIdent0022LineNode *Einsenderidendifikation() const;
};

// P (Praxis)-Datenpaket-Abschluss
class TLDT3SatzArt8231LineNode : public TLDT3SatzArtLineNode
{
    LDT3_NODE_CLASS(TLDT3SatzArt8231LineNode)
public:
    QString Pruefsumme() const;
};

// Befund
class TLDT3SatzArt8205LineNode : public TLDT3SatzArtLineNode
{
    LDT3_NODE_CLASS(TLDT3SatzArt8205LineNode)
public:
    TLDT3ObjektIdent0017LineNode *Befundinformation() const;
    QString BuildShortInfo() const override;
};

// Auftrag
class TLDT3SatzArt8215LineNode : public TLDT3SatzArtLineNode
{
    LDT3_NODE_CLASS(TLDT3SatzArt8215LineNode)
public:
    TLDT3ObjektIdent0022LineNode *Einsenderidendifikation() const;
    TLDT3ObjektIdent0045LineNode *Patient() const;
    TLDT3ObjektIdent0069LineNode *Koerperkenngroessen() const;
    TLDT3ObjektIdent0013LineNode *Auftragsinformation() const;
    QString BuildShortInfo() const override;
};
