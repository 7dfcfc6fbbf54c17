#include "LdtGen.h"

#include "LDT3.Zeichen.h"
#include "PdfBytes.h"

#include <QDate>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr size_t OutBufSize = 1 << 20;
constexpr int Base64LineChars = 60; // longest content of FK 6329
constexpr int Base64LineBytes = Base64LineChars + 9;
// Lines of an attachment object besides its Base64 lines (8110 ... 8003).
constexpr int AnhangOverhead = 15 + 17 + 12 + 31 + 17 + 17 + 12 + 22 + 15 + 17;

struct TFaultName { TLdtFault Fault; const char *Name; };
constexpr TFaultName FaultNames[] = {
    {TLdtFault::WrongLength, "wrong-length"},
    {TLdtFault::Lf, "lf"},
    {TLdtFault::BadBytes, "bad-bytes"},
    {TLdtFault::EmptyLines, "empty-lines"},
    {TLdtFault::EmptyLinesAtEnd, "empty-lines-at-end"},
    {TLdtFault::UnknownFk, "unknown-fk"},
    {TLdtFault::BrokenNesting, "broken-nesting"},
    {TLdtFault::SecondVersion, "second-version"},
    {TLdtFault::SecondChecksum, "second-checksum"},
};

// Object attributes in use: FK, content (the attribute's name), object.
struct TAttr { int FK; const char *Name; const char *Obj; };
constexpr TAttr Attrs[] = {
    {8101, "Abrechnungsinformation", "Obj_0001"},
    {8102, "Abrechnung_GKV", "Obj_0002"},
    {8110, "Anhang", "Obj_0010"},
    {8113, "Auftragsinformation", "Obj_0013"},
    {8114, "Arztidentifikation", "Obj_0014"},
    {8117, "Befundinformationen", "Obj_0017"},
    {8119, "Betriebsstaette", "Obj_0019"},
    {8122, "Einsenderidentifikation", "Obj_0022"},
    {8127, "Veranlassungsgrund", "Obj_0027"},
    {8132, "Kopfdaten", "Obj_0032"},
    {8135, "Laborergebnisbericht", "Obj_0035"},
    {8136, "Laborkennung", "Obj_0036"},
    {8137, "Material", "Obj_0037"},
    {8142, "Normalwert", "Obj_0042"},
    {8143, "Organisation", "Obj_0043"},
    {8145, "Patient", "Obj_0045"},
    {8147, "Person", "Obj_0047"},
    {8151, "Sendendes_System", "Obj_0051"},
    {8159, "Untersuchungsanforderung", "Obj_0059"},
    {8160, "UE_Klinische_Chemie", "Obj_0060"},
    {8167, "Zusaetzliche_Informationen", "Obj_0068"},
    {8200, "Akutdiagnose", "Obj_0100"},
    {8213, "Timestamp_Erstellung_Untersuchungsanforderung", "Obj_0054"},
    {8214, "Timestamp_Auftragserteilung", "Obj_0054"},
    {8216, "Timestamp_Befunderstellung", "Obj_0054"},
    {8218, "Timestamp_Erstellung_Datensatz", "Obj_0054"},
    {8219, "Timestamp_Materialabnahme_entnahme", "Obj_0054"},
    {8221, "Timestamp_Erstellung_Laborergebnisbericht", "Obj_0054"},
    {8225, "Timestamp_Messung", "Obj_0054"},
    {8228, "Wohnanschrift", "Obj_0007"},
    {8239, "Laborbezeichnung", "Obj_0043"},
    {8242, "base64-kodierte_Anlage", "Obj_0068"},
};

const TAttr &FindAttr(int AFK)
{
    for (const TAttr &a : Attrs)
        if (a.FK == AFK)
            return a;
    std::abort(); // a programming error in this generator
}

// Field identifiers that no LDT 3 field table has (3.1.3 or 3.2.20).
constexpr int UnknownFKs[] = {4711, 815, 5555, 9999};
constexpr unsigned char BadBytes[] = {0x09, 0x80, 0xA0, 0x1A};

// Sample words; umlauts and the special ISO 8859-15 letters on purpose.
const char16_t *const Nachnamen[] = {
    u"Müller", u"Schäfer", u"Weiß", u"Köhler", u"Schröder", u"Groß", u"Bäcker",
    u"Jürgens", u"Öztürk", u"Krüger", u"Meier", u"Schmidt", u"Hoffmann", u"Wagner",
    u"Becker", u"Fuchs", u"Zimmermann", u"Lößner", u"Šimková", u"Kühn"};
const char16_t *const Vornamen[] = {
    u"Jürgen", u"Jörg", u"Björn", u"Sören", u"Käthe", u"Anna", u"Lena", u"Max",
    u"Günther", u"Ömer", u"Zoë", u"Renée", u"Bärbel", u"Uwe", u"Marie", u"Lukas",
    u"Žaneta", u"Chloë", u"Jürgen-Peter", u"Lea"};
const char16_t *const Strassen[] = {
    u"Hauptstraße", u"Lindenallee", u"Am Mühlbach", u"Gartenweg", u"Schloßstraße",
    u"Bahnhofstraße", u"Königsweg", u"Rosenstraße", u"Talstraße", u"Weidenstraße"};
const char16_t *const Orte[] = {
    u"Köln", u"München", u"Lüneburg", u"Göttingen", u"Würzburg", u"Bonn",
    u"Düsseldorf", u"Nürnberg", u"Saarbrücken", u"Tübingen"};
const char16_t *const Kassen[] = {
    u"AOK Rheinland/Hamburg", u"Techniker Krankenkasse", u"BARMER", u"DAK-Gesundheit",
    u"IKK classic", u"Knappschaft", u"BKK Süd"};
const char16_t *const Hinweise[] = {
    u"Patient nüchtern, Blutentnahme am Morgen.",
    u"Bitte Befund zusätzlich per Fax übermitteln.",
    u"Kontrolle nach Therapieänderung, Vorwerte liegen vor.",
    u"Probe wurde gekühlt transportiert (4 °C).",
    u"Verdacht auf Eisenmangel, Ferritin ergänzen."};

struct TTest { const char *Ident; const char16_t *Name; const char16_t *Einheit; double Low, High; int Dec; };
const TTest Tests[] = {
    {"HB", u"Hämoglobin", u"g/dl", 12.0, 16.0, 1},
    {"LEUKO", u"Leukozyten", u"/nl", 4.0, 10.0, 1},
    {"NA", u"Natrium", u"mmol/l", 135, 145, 0},
    {"K", u"Kalium", u"mmol/l", 3.5, 5.1, 1},
    {"KREA", u"Kreatinin", u"mg/dl", 0.5, 1.2, 2},
    {"GLUC", u"Glukose nüchtern", u"mg/dl", 70, 100, 0},
    {"CRP", u"C-reaktives Protein", u"mg/l", 0, 5, 1},
    {"TSH", u"TSH basal", u"mU/l", 0.4, 4.0, 2},
    {"GGT", u"Gamma-GT", u"U/l", 0, 60, 0},
    {"CHOL", u"Cholesterin gesamt", u"mg/dl", 0, 200, 0},
    {"FERR", u"Ferritin", u"µg/l", 30, 400, 0},
    {"HBA1C", u"HbA1c", u"%", 4.0, 6.0, 1},
};

struct TMat { const char *Ident; const char *Name; };
const TMat Materialien[] = {{"SE", "Serum"}, {"EB", "EDTA-Blut"}, {"CB", "Citrat-Blut"}, {"U", "Urin"}};

const char *const Icd[] = {"E11.9", "I10", "J06.9", "R50.9", "E78.0", "D50.9", "N39.0", "K29.7"};

// Region codes accepted for the first two digits of a practice number.
const char *const Kv[] = {"01", "02", "03", "17", "20", "38", "46", "52", "71", "93"};

std::string Iso(const char16_t *AText)
{
    const QByteArray b = LDT3StrToBytes(QString::fromUtf16(AText), '?');
    return std::string(b.constData(), size_t(b.size()));
}

template <size_t N, typename T>
const T &Pick(TLdtRandom &ARnd, const T (&AArr)[N]) { return AArr[ARnd.Below(N)]; }

std::string Digits(quint64 AValue, int AWidth)
{
    std::string s(size_t(AWidth), '0');
    for (int i = AWidth - 1; i >= 0 && AValue; --i, AValue /= 10)
        s[size_t(i)] = char('0' + AValue % 10);
    return s;
}

std::string RandomDigits(TLdtRandom &ARnd, int AWidth)
{
    std::string s(size_t(AWidth), '0');
    for (char &c : s)
        c = char('0' + ARnd.Below(10));
    return s;
}

std::string Fixed(double AValue, int ADec)
{
    return QByteArray::number(AValue, 'f', ADec).toStdString();
}

// Physician number: six digits, a check digit (weights 4 and 9), two digits.
std::string Lanr(TLdtRandom &ARnd)
{
    std::string s = RandomDigits(ARnd, 6);
    int sum = 0;
    for (int i = 0; i < 6; ++i)
        sum += (s[size_t(i)] - '0') * (i % 2 == 0 ? 4 : 9);
    const int check = (10 - sum % 10) % 10;
    return s + char('0' + check) + RandomDigits(ARnd, 2);
}

// Insurance ID: a letter, eight digits and a check digit.
std::string VersichertenId(TLdtRandom &ARnd)
{
    const int letter = int(ARnd.Below(26)) + 1;
    const std::string digits = RandomDigits(ARnd, 8);
    const std::string all = Digits(quint64(letter), 2) + digits;
    int sum = 0;
    for (int i = 0; i < 10; ++i) {
        int d = all[size_t(i)] - '0';
        if ((i + 1) % 2 == 0)
            d *= 2;
        sum += d / 10 + d % 10;
    }
    return std::string(1, char('A' + letter - 1)) + digits + char('0' + sum % 10);
}

std::string DateText(int AJulianDay)
{
    const QDate d = QDate::fromJulianDay(AJulianDay);
    return Digits(quint64(d.year()), 4) + Digits(quint64(d.month()), 2) + Digits(quint64(d.day()), 2);
}

std::string TimeText(int ASecond)
{
    ASecond %= 86400;
    return Digits(quint64(ASecond / 3600), 2) + Digits(quint64(ASecond / 60 % 60), 2)
           + Digits(quint64(ASecond % 60), 2);
}

} // namespace

const char *LdtFaultName(TLdtFault AFault)
{
    for (const TFaultName &f : FaultNames)
        if (f.Fault == AFault)
            return f.Name;
    return "";
}

bool LdtFaultFromName(std::string_view AName, TLdtFault &AFault)
{
    for (const TFaultName &f : FaultNames)
        if (AName == f.Name) {
            AFault = f.Fault;
            return true;
        }
    return false;
}

struct TLdtGenerator::TPraxis
{
    std::string Nachname, Vorname, Lanr, Bsnr, Name, Kundennummer;
};

struct TLdtGenerator::TFaultOp
{
    quint32 LineIdx;   // the line before which, or on which, the fault acts
    bool Insert;       // insert Bytes before the line, else replace the line by Bytes
    std::string Bytes;
};

TLdtGenerator::TLdtGenerator(const TLdtGenOptions &AOptions)
    : FOpt(AOptions), FRnd(AOptions.Seed), FFaultRnd(AOptions.Seed ^ 0x5DEECE66Dull)
{
    if (!FOpt.Attachments)
        FShare = 0;
    else if (FOpt.AttachmentShare >= 0)
        FShare = std::min(FOpt.AttachmentShare, 0.95);
    else
        FShare = FOpt.Befund ? 0.5 : 0;
    FRec.reserve(1 << 16);
    FLines.reserve(1024);
    FOutBuf.reserve(OutBufSize + (1 << 16));
    FBaseDay = int(QDate(2024, 1, 1).toJulianDay() + qint64(FRnd.Below(540)));
    const int praxen = 3 + int(FRnd.Below(5));
    for (int i = 0; i < praxen; ++i) {
        TPraxis p;
        p.Nachname = Iso(Pick(FRnd, Nachnamen));
        p.Vorname = Iso(Pick(FRnd, Vornamen));
        p.Lanr = Lanr(FRnd);
        p.Bsnr = std::string(Pick(FRnd, Kv)) + RandomDigits(FRnd, 7);
        p.Name = "Praxis Dr. " + p.Nachname;
        p.Kundennummer = Digits(quint64(1000 + i * 37 + FRnd.Below(30)), 5);
        FPraxen.push_back(std::move(p));
    }
}

TLdtGenerator::~TLdtGenerator() = default;

// ---- record buffer ---------------------------------------------------------

void TLdtGenerator::Line(int AFK, std::string_view AContent)
{
    const size_t len = AContent.size() + 9;
    TLine l{quint32(FRec.size()), quint32(len), AFK};
    char head[7] = {char('0' + len / 100 % 10), char('0' + len / 10 % 10), char('0' + len % 10),
                    char('0' + AFK / 1000 % 10), char('0' + AFK / 100 % 10),
                    char('0' + AFK / 10 % 10), char('0' + AFK % 10)};
    FRec.append(head, 7);
    FRec.append(AContent);
    FRec.append("\r\n", 2);
    FLines.push_back(l);
}

void TLdtGenerator::Open(int AAttrFK)
{
    const TAttr &a = FindAttr(AAttrFK);
    Line(a.FK, a.Name);
    Line(8002, a.Obj);
    FOpenAttr.push_back(AAttrFK);
}

void TLdtGenerator::Close()
{
    Line(8003, FindAttr(FOpenAttr.back()).Obj);
    FOpenAttr.pop_back();
}

void TLdtGenerator::Timestamp(int AAttrFK, int ADay, int ASecond)
{
    Open(AAttrFK);
    Line(7278, DateText(ADay + ASecond / 86400));
    Line(7279, TimeText(ASecond));
    Line(7273, "UTC+1");
    Close();
}

// ---- records ---------------------------------------------------------------

void TLdtGenerator::HeaderRecord()
{
    const char *satzart = FOpt.Befund ? "8220" : "8230";
    Line(8000, satzart);
    Open(8132);
    Line(1, FOpt.Version);
    Open(8151);
    Line(8315, FOpt.Befund ? "Praxis" : "Labor_Nord");
    Line(8316, FOpt.Befund ? "Labor_Nord" : "Praxis");
    Line(103, "Ventolix LDT-Generator");
    Line(132, VENTOLIX_VERSION);
    Close();
    Timestamp(8218, FBaseDay, int(FRnd.Below(86400)));
    Close();
    if (FOpt.Befund) {
        Open(8136);
        Open(8239);
        Line(1250, Iso(u"Labor Nord, Dr. Weiß & Kollegen"));
        Close();
        Line(7266, "1");
        Close();
    } else {
        Line(7265, "1");
    }
    Line(8001, satzart);
}

void TLdtGenerator::Einsender(const TPraxis &APraxis)
{
    Open(8122);
    Line(7321, "01");
    Line(8312, APraxis.Kundennummer);
    Open(8114);
    Open(8147);
    Line(7420, "02");
    Line(3101, APraxis.Nachname);
    Line(3102, APraxis.Vorname);
    Line(3104, "Dr. med.");
    Close();
    Line(212, APraxis.Lanr);
    Close();
    Open(8119);
    Line(204, "1");
    Line(203, APraxis.Name);
    Line(201, APraxis.Bsnr);
    Close();
    Close();
}

void TLdtGenerator::Patient()
{
    Open(8145);
    Open(8147);
    Line(7420, "12");
    const std::string nachname = Iso(Pick(FRnd, Nachnamen));
    const std::string vorname = Iso(Pick(FRnd, Vornamen));
    Line(3101, nachname);
    Line(3102, vorname);
    const int birth = int(QDate(1930, 1, 1).toJulianDay()) + int(FRnd.Below(90 * 365));
    Line(3103, DateText(birth));
    FReport << QByteArray::fromStdString("Patient: " + nachname + ", " + vorname + ", geb. "
                                         + QDate::fromJulianDay(birth).toString(u"dd.MM.yyyy").toStdString());
    static const char *const sex[] = {"M", "W", "X"};
    Line(3110, Pick(FRnd, sex));
    Open(8228);
    Line(3112, Digits(FRnd.Below(90000) + 10000, 5));
    Line(3113, Iso(Pick(FRnd, Orte)));
    Line(3107, Iso(Pick(FRnd, Strassen)));
    Line(3109, std::to_string(1 + FRnd.Below(120)));
    Line(3114, "D");
    Close();
    Close();
    Line(3119, VersichertenId(FRnd));
    Line(3000, "PAT" + Digits(FRnd.Below(10000000), 7));
    Close();
}

void TLdtGenerator::Material(int AIndex, int ADay, int ASecond)
{
    const TMat &m = Materialien[quint64(AIndex - 1) % std::size(Materialien)];
    Open(8137);
    Line(7364, Digits(quint64(FRecordNr) * 10 + quint64(AIndex), 12));
    Line(8429, std::to_string(AIndex));
    Line(8428, m.Ident);
    Line(8430, m.Name);
    Line(8504, "0");
    Timestamp(8219, ADay, ASecond);
    Close();
}

void TLdtGenerator::BodyRecord()
{
    const TPraxis &praxis = FPraxen[FRnd.Below(FPraxen.size())];
    const int day = FBaseDay + int(FRnd.Below(60));
    const int second = 7 * 3600 + int(FRnd.Below(4 * 3600));
    const std::string auftrag = "A" + Digits(quint64(FRecordNr) + 1, 9);
    const int materials = 1 + int(FRnd.Below(3));
    const int tests = 2 + int(FRnd.Below(8));

    FReport.clear();
    FReport << "Laborbefund" << QByteArray() << QByteArray::fromStdString("Auftrag: " + auftrag);
    const char *satzart = FOpt.Befund ? "8205" : "8215";
    Line(8000, satzart);
    Einsender(praxis);
    Patient();
    if (!FOpt.Befund) {
        Open(8113);
        Line(8310, auftrag);
        Timestamp(8213, day, second);
        Close();
        Open(8127);
        Line(7303, "1");
        Open(8200);
        Line(6001, Pick(FRnd, Icd));
        static const char *const sicher[] = {"G", "V", "A", "Z"};
        Line(6003, Pick(FRnd, sicher));
        Close();
        Close();
        Open(8101);
        Open(8102);
        Line(4239, "27");
        Line(4134, Iso(Pick(FRnd, Kassen)));
        Line(4104, Digits(FRnd.Below(90000) + 10000, 5));
        Line(4106, "00");
        Line(3116, "00");
        Line(3108, "1");
        Line(4111, "10" + RandomDigits(FRnd, 7));
        Line(4122, "00");
        Line(4221, "1");
        Close();
        Close();
        for (int i = 1; i <= materials; ++i)
            Material(i, day, second - 600);
        for (int i = 0; i < tests; ++i) {
            const TTest &t = Pick(FRnd, Tests);
            const int mat = 1 + int(FRnd.Below(quint64(materials)));
            Open(8159);
            Line(8410, t.Ident);
            Line(8411, Iso(t.Name));
            Line(7303, "1");
            Line(8501, FRnd.Below(10) == 0 ? "2" : "1");
            Line(7364, Digits(quint64(FRecordNr) * 10 + quint64(mat), 12));
            Line(8429, std::to_string(mat));
            Close();
        }
        if (FRnd.Below(3) == 0) {
            Open(8167);
            Line(3564, Iso(Pick(FRnd, Hinweise)));
            Close();
        }
    } else {
        Open(8117);
        Line(8310, auftrag);
        Timestamp(8214, day, second);
        Line(8311, "L" + Digits(quint64(FRecordNr) + 1, 9));
        Line(7305, "B" + Digits(quint64(FRecordNr) + 1, 9));
        Line(8401, "2");
        Timestamp(8216, day + 1, second);
        Close();
        for (int i = 1; i <= materials; ++i)
            Material(i, day, second - 600);
        Open(8135);
        for (int i = 0; i < tests; ++i) {
            const TTest &t = Pick(FRnd, Tests);
            const int mat = 1 + int(FRnd.Below(quint64(materials)));
            const double span = t.High - t.Low;
            const double value = std::max(0.0, t.Low + span * (FRnd.Unit() * 1.6 - 0.3));
            const double shown = std::strtod(Fixed(value, t.Dec).c_str(), nullptr);
            const char *flag = shown < t.Low ? "L" : shown > t.High ? "H" : "N";
            FReport << Iso(t.Name).c_str() + QByteArray(": ") + Fixed(value, t.Dec).c_str() + ' '
                           + Iso(t.Einheit).c_str() + " (" + Fixed(t.Low, t.Dec).c_str() + " - "
                           + Fixed(t.High, t.Dec).c_str() + ") " + flag;
            Open(8160);
            Line(7304, "E" + Digits(quint64(FRecordNr) * 100 + quint64(i), 11));
            Line(7364, Digits(quint64(FRecordNr) * 10 + quint64(mat), 12));
            Line(8410, t.Ident);
            Line(8411, Iso(t.Name));
            Line(8418, "01");
            Line(7306, "01");
            Line(8420, Fixed(value, t.Dec));
            Line(8419, "2");
            Line(8421, Iso(t.Einheit));
            Open(8142);
            Line(8424, "20");
            Line(8461, Fixed(t.Low, t.Dec));
            Line(8462, Fixed(t.High, t.Dec));
            Line(8421, Iso(t.Einheit));
            Line(8422, flag);
            Close();
            Timestamp(8225, day + 1, second - 3600 + 60 * i);
            Close();
        }
        Timestamp(8221, day + 1, second);
        Close();
    }

    // Attachment sized so that Base64 lines make up the wanted share of the file.
    if (FShare > 0) {
        const double total = double(FWritten + qint64(FRec.size()) + AnhangOverhead + 13);
        qint64 want = qint64((FShare * total - double(FBase64Bytes)) / (1.0 - FShare));
        if (FOpt.Size > 0)
            want = std::min(want, FOpt.Size - FWritten - qint64(FRec.size()) - AnhangOverhead - 13 - 80);
        // Small shares are paid out in attachments of at least this size.
        if (want >= std::max<qint64>(1200, FOpt.AttachmentMin))
            Anhang(want);
    }
    Line(8001, satzart);
}

void TLdtGenerator::Anhang(qint64 ABase64Bytes)
{
    const qint64 pdfBytes = ABase64Bytes / Base64LineBytes * (Base64LineChars / 4 * 3);
    const QByteArray b64 = PdfBytes::MakeReport(FReport, pdfBytes).toBase64();

    Open(8110);
    Line(9970, "100");
    Open(8242);
    for (qsizetype i = 0; i < b64.size(); i += Base64LineChars) {
        const qsizetype n = std::min<qsizetype>(Base64LineChars, b64.size() - i);
        Line(6329, std::string_view(b64.constData() + i, size_t(n)));
        FBase64Bytes += n + 9;
    }
    Close();
    Line(6303, "pdf");
    Line(6327, "Laborbefund");
    Line(6328, "base64");
    Close();
}

void TLdtGenerator::TrailerRecord()
{
    const char *satzart = FOpt.Befund ? "8221" : "8231";
    Line(8000, satzart);
    FlushRecord({});
    bool second = false;
    for (TLdtFault f : FOpt.Faults)
        second |= f == TLdtFault::SecondChecksum;
    if (FOpt.Checksum || second) {
        StopHash();
        const std::string digest = TSHA1::ToHex(FHash.Final()).toStdString();
        const int copies = 1 + (second ? std::max(1, FOpt.FaultCount) : 0);
        for (int i = 0; i < copies; ++i)
            Line(9300, digest);
    }
    Line(8001, satzart);
    FlushRecord({});
    for (TLdtFault f : FOpt.Faults)
        if (f == TLdtFault::EmptyLinesAtEnd)
            for (int i = 0; i < std::max(1, FOpt.FaultCount); ++i)
                Put("\r\n", 2);
}

// ---- faults ----------------------------------------------------------------

void TLdtGenerator::PlanFaults()
{
    std::vector<TLdtFault> inRecords;
    for (TLdtFault f : FOpt.Faults)
        if (f != TLdtFault::EmptyLinesAtEnd && f != TLdtFault::SecondChecksum)
            for (int i = 0; i < std::max(1, FOpt.FaultCount); ++i)
                inRecords.push_back(f);
    const qint64 n = qint64(inRecords.size());
    for (qint64 j = 0; j < n; ++j) {
        // Spread over the records when their number is known, else the first ones.
        const qint64 rec = FOpt.Records > 0 ? j * FOpt.Records / n : j;
        FFaultPlan.emplace_back(rec, inRecords[size_t(j)]);
    }
}

void TLdtGenerator::InjectFaults(std::vector<TFaultOp> &AOps)
{
    auto plain = [&](size_t i) {
        const int fk = FLines[i].FK;
        return fk != 8000 && fk != 8001 && fk != 8002 && fk != 8003 && fk != 6329
               && !(fk >= 8100 && fk <= 8299) && FLines[i].Len > 9;
    };
    auto touched = [&](size_t i) {
        for (const TFaultOp &op : AOps)
            if (!op.Insert && op.LineIdx == i)
                return true;
        return false;
    };
    auto choose = [&](auto &&AOk) -> qint64 {
        std::vector<size_t> cand;
        for (size_t i = 1; i < FLines.size(); ++i)
            if (AOk(i))
                cand.push_back(i);
        if (cand.empty())
            return -1;
        return qint64(cand[FFaultRnd.Below(cand.size())]);
    };
    auto lineBytes = [&](size_t i) { return std::string(FRec, FLines[i].Off, FLines[i].Len); };
    auto makeLine = [](int AFK, const std::string &AContent) {
        const size_t len = AContent.size() + 9;
        return Digits(len, 3) + Digits(quint64(AFK), 4) + AContent + "\r\n";
    };

    while (FFaultNext < FFaultPlan.size() && FFaultPlan[FFaultNext].first == FRecordNr) {
        const TLdtFault f = FFaultPlan[FFaultNext++].second;
        qint64 at = -1;
        std::string bytes;
        bool insert = false;
        switch (f) {
        case TLdtFault::WrongLength:
            at = choose([&](size_t i) { return plain(i) && !touched(i); });
            if (at >= 0) {
                bytes = lineBytes(size_t(at));
                const int len = std::atoi(bytes.substr(0, 3).c_str());
                const int wrong = (len + 1 + int(FFaultRnd.Below(8))) % 1000;
                bytes.replace(0, 3, Digits(quint64(wrong), 3));
            }
            break;
        case TLdtFault::Lf:
            at = choose([&](size_t i) { return plain(i) && !touched(i); });
            if (at >= 0) {
                bytes = lineBytes(size_t(at));
                bytes.erase(bytes.size() - 2, 1);
            }
            break;
        case TLdtFault::BadBytes:
            at = choose([&](size_t i) { return plain(i) && !touched(i); });
            if (at >= 0) {
                bytes = lineBytes(size_t(at));
                const size_t pos = 7 + FFaultRnd.Below(bytes.size() - 9);
                bytes[pos] = char(Pick(FFaultRnd, BadBytes));
            }
            break;
        case TLdtFault::BrokenNesting:
            at = choose([&](size_t i) {
                if (FLines[i].FK != 8003 || touched(i))
                    return false;
                const std::string_view obj(FRec.data() + FLines[i].Off + 7, 8);
                return obj != "Obj_0010" && obj != "Obj_0068";
            });
            if (at >= 0) {
                bytes = lineBytes(size_t(at));
                std::string other;
                do
                    other = Pick(FFaultRnd, Attrs).Obj;
                while (bytes.compare(7, 8, other) == 0);
                bytes.replace(7, 8, other);
            }
            break;
        case TLdtFault::EmptyLines:
        case TLdtFault::UnknownFk:
        case TLdtFault::SecondVersion:
            // Before a plain field line whose predecessor is no object attribute,
            // so that attachments and objects stay recognisable.
            at = choose([&](size_t i) {
                const int prev = FLines[i - 1].FK;
                return plain(i) && !(prev >= 8100 && prev <= 8299);
            });
            insert = true;
            if (f == TLdtFault::EmptyLines)
                bytes = "\r\n";
            else if (f == TLdtFault::UnknownFk)
                bytes = makeLine(Pick(FFaultRnd, UnknownFKs), "Unbekanntes Feld");
            else
                bytes = makeLine(1, FOpt.Version);
            break;
        case TLdtFault::EmptyLinesAtEnd:
        case TLdtFault::SecondChecksum:
            break;
        }
        if (at >= 0)
            AOps.push_back({quint32(at), insert, std::move(bytes)});
    }
}

void TLdtGenerator::FlushRecord(const std::vector<TFaultOp> &AOps)
{
    // Share and size are accounted without faults, so that a faulty file is
    // the clean file of the same seed with the faults applied.
    FWritten += qint64(FRec.size());
    if (AOps.empty()) {
        Put(FRec);
    } else {
        for (size_t i = 0; i < FLines.size(); ++i) {
            const std::string *replacement = nullptr;
            for (const TFaultOp &op : AOps)
                if (op.LineIdx == i) {
                    if (op.Insert)
                        Put(op.Bytes);
                    else
                        replacement = &op.Bytes;
                }
            if (replacement)
                Put(*replacement);
            else
                Put(FRec.data() + FLines[i].Off, FLines[i].Len);
        }
    }
    FRec.clear();
    FLines.clear();
}

// ---- output ----------------------------------------------------------------

void TLdtGenerator::Put(const char *AData, size_t ALen)
{
    while (ALen > 0) {
        const size_t n = std::min(ALen, OutBufSize - FOutBuf.size());
        FOutBuf.append(AData, n);
        AData += n;
        ALen -= n;
        if (FOutBuf.size() >= OutBufSize)
            FlushOut();
    }
}

void TLdtGenerator::FlushOut()
{
    if (FHashing && FOutBuf.size() > FHashedTo)
        FHash.Update(FOutBuf.data() + FHashedTo, qsizetype(FOutBuf.size() - FHashedTo));
    if (!FOutBuf.empty() && std::fwrite(FOutBuf.data(), 1, FOutBuf.size(), FOut) != FOutBuf.size())
        FWriteError = true;
    FOutBuf.clear();
    FHashedTo = 0;
}

// Everything put so far is covered by the checksum, nothing after.
void TLdtGenerator::StopHash()
{
    if (FHashing && FOutBuf.size() > FHashedTo)
        FHash.Update(FOutBuf.data() + FHashedTo, qsizetype(FOutBuf.size() - FHashedTo));
    FHashedTo = FOutBuf.size();
    FHashing = false;
}

bool TLdtGenerator::Generate(std::FILE *AOut)
{
    FOut = AOut;
    PlanFaults();
    HeaderRecord();
    FlushRecord({});
    const qint64 trailer = 13 + 49 + 13;
    std::vector<TFaultOp> ops;
    for (;;) {
        if (FOpt.Records >= 0 ? FRecordNr >= FOpt.Records
                              : FRecordNr > 0 && FWritten + trailer >= FOpt.Size)
            break;
        BodyRecord();
        ops.clear();
        InjectFaults(ops);
        FlushRecord(ops);
        ++FRecordNr;
        if (FWriteError)
            return false;
    }
    TrailerRecord();
    FlushOut();
    return !FWriteError && std::fflush(FOut) == 0;
}
