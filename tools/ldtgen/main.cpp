// ldtgen: command line of the LDT 3 sample-file generator.
#include "LdtGen.h"

#include "LDT3.TableSet.h"

#include <QString>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr int ExitUsage = 64;
constexpr int ExitIo = 2;

const char *const HelpText =
    "Aufruf: ldtgen [Optionen] -o DATEI\n"
    "\n"
    "Erzeugt eine gültige LDT-3.1.3- oder LDT-3.2.20-Datei (ISO 8859-15,\n"
    "Zeilenende CR LF) mit\n"
    "Zufallsdaten: ein Auftragsdatenpaket (8230, n x 8215, 8231) oder ein\n"
    "Befunddatenpaket (8220, n x 8205, 8221) mit Patienten, Auftragsnummern,\n"
    "Zeitstempeln, Ergebnissen, PDF-Anlagen (Base64, FK 6329) und Prüfsumme\n"
    "(FK 9300, SHA-1). Gleicher Startwert und gleiche Optionen ergeben eine\n"
    "byte-gleiche Datei.\n"
    "\n"
    "Optionen:\n"
    "  --type order|result    Auftrag oder Befund (Vorgabe: result)\n"
    "  --ldt-version V        LDT3.1.3 oder LDT3.2.20 (Vorgabe: LDT3.1.3)\n"
    "  --seed N               Startwert des Zufallsgenerators (Vorgabe: 1)\n"
    "  --records N            Anzahl der Sätze 8215 bzw. 8205 (Vorgabe: 10)\n"
    "  --size GRÖSSE          ungefähre Dateigröße statt --records, z. B. 500K,\n"
    "                         100M, 2G (K, M, G: 1024, 1024², 1024³ Byte)\n"
    "  --attachment-share A   Anteil der Bytes in Base64-Zeilen, 0 bis 0.95\n"
    "                         (Vorgabe: 0.5 bei Befunden, 0 bei Aufträgen)\n"
    "  --attachment-min GRÖSSE kleinste Anlage (Bytes der Base64-Zeilen), z. B.\n"
    "                         256K: wenige große statt vieler kleiner Anlagen\n"
    "  --no-attachments       keine PDF-Anlagen\n"
    "  --no-checksum          keine Prüfsumme (FK 9300)\n"
    "  --fault ART            Fehler einbauen, mehrfach möglich:\n"
    "                           wrong-length        falsche Längenangabe\n"
    "                           lf                  Zeilenende nur LF\n"
    "                           bad-bytes           unzulässiges Zeichen im Inhalt\n"
    "                           empty-lines         Leerzeile innerhalb eines Satzes\n"
    "                           empty-lines-at-end  Leerzeilen am Dateiende\n"
    "                           unknown-fk          unbekannte Feldkennung\n"
    "                           broken-nesting      Objektende nennt anderes Objekt\n"
    "                           second-version      zweite Versionszeile (FK 0001)\n"
    "                           second-checksum     zweite Prüfsummenzeile (FK 9300)\n"
    "  --fault-count N        jeden Fehler N-mal einbauen (Vorgabe: 1)\n"
    "  -o DATEI               Ausgabedatei, \"-\" für die Standardausgabe\n"
    "  -v, --verbose          Kennzahlen der erzeugten Datei ausgeben\n"
    "  -h, --help             diese Hilfe\n"
    "\n"
    "Rückgabewerte: 0 erzeugt, 2 Schreibfehler, 64 falscher Aufruf\n";

int Usage(const std::string &AMessage)
{
    std::fprintf(stderr, "ldtgen: %s\nHilfe: ldtgen --help\n", AMessage.c_str());
    return ExitUsage;
}

bool ParseInt(std::string_view S, qint64 AMin, qint64 &AValue)
{
    bool ok = false;
    AValue = QString::fromLatin1(S.data(), qsizetype(S.size())).toLongLong(&ok);
    return ok && AValue >= AMin;
}

bool ParseSize(std::string_view S, qint64 &AValue)
{
    qint64 factor = 1;
    if (!S.empty()) {
        switch (S.back()) {
        case 'k': case 'K': factor = qint64(1) << 10; break;
        case 'm': case 'M': factor = qint64(1) << 20; break;
        case 'g': case 'G': factor = qint64(1) << 30; break;
        default: break;
        }
        if (factor > 1)
            S.remove_suffix(1);
    }
    qint64 n = 0;
    if (!ParseInt(S, 1, n) || n > (qint64(1) << 50) / factor)
        return false;
    AValue = n * factor;
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    TLdtGenOptions opt;
    std::string outFile;
    bool verbose = false;

    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        bool hasValue = false;
        if (arg.rfind("--", 0) == 0) {
            const size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                value = arg.substr(eq + 1);
                arg.resize(eq);
                hasValue = true;
            }
        }
        auto needValue = [&]() -> bool {
            if (hasValue)
                return true;
            if (i + 1 >= argc)
                return false;
            value = argv[++i];
            return true;
        };
        qint64 n = 0;
        if (arg == "-h" || arg == "--help") {
            std::fputs(HelpText, stdout);
            return 0;
        } else if (arg == "-v" || arg == "--verbose") {
            verbose = true;
        } else if (arg == "--no-attachments") {
            opt.Attachments = false;
        } else if (arg == "--no-checksum") {
            opt.Checksum = false;
        } else if (arg == "--type") {
            if (!needValue() || (value != "order" && value != "result"))
                return Usage("--type erwartet order oder result");
            opt.Befund = value == "result";
        } else if (arg == "--ldt-version") {
            TLDT3TableSet set;
            if (!needValue() || !TLDT3TableSet::FromName(QString::fromStdString(value), set))
                return Usage("--ldt-version erwartet eine dieser Versionen: "
                             + TLDT3TableSet::Versions().join(QStringLiteral(", ")).toStdString());
            opt.Version = set.Version().toStdString();
        } else if (arg == "--seed") {
            if (!needValue() || !ParseInt(value, 0, n))
                return Usage("--seed erwartet eine Zahl ab 0");
            opt.Seed = quint64(n);
        } else if (arg == "--records") {
            if (!needValue() || !ParseInt(value, 0, n))
                return Usage("--records erwartet eine Zahl ab 0");
            opt.Records = n;
        } else if (arg == "--size") {
            if (!needValue() || !ParseSize(value, n))
                return Usage("--size erwartet eine Größe wie 500K, 100M oder 2G");
            opt.Size = n;
        } else if (arg == "--attachment-share") {
            bool ok = false;
            const double share = needValue() ? QString::fromStdString(value).toDouble(&ok) : -1;
            if (!ok || share < 0 || share > 0.95)
                return Usage("--attachment-share erwartet einen Anteil von 0 bis 0.95");
            opt.AttachmentShare = share;
        } else if (arg == "--attachment-min") {
            if (!needValue() || !ParseSize(value, n))
                return Usage("--attachment-min erwartet eine Größe wie 64K oder 1M");
            opt.AttachmentMin = n;
        } else if (arg == "--fault") {
            TLdtFault f;
            if (!needValue() || !LdtFaultFromName(value, f))
                return Usage("unbekannte Fehlerart für --fault: " + value);
            opt.Faults.push_back(f);
        } else if (arg == "--fault-count") {
            if (!needValue() || !ParseInt(value, 1, n) || n > 1000000)
                return Usage("--fault-count erwartet eine Zahl von 1 bis 1000000");
            opt.FaultCount = int(n);
        } else if (arg == "-o" || arg == "--output") {
            if (!needValue() || value.empty())
                return Usage("-o erwartet einen Dateinamen");
            outFile = value;
        } else {
            return Usage("unbekannte Option: " + arg);
        }
    }
    if (opt.Records >= 0 && opt.Size >= 0)
        return Usage("bitte nur eine der Optionen --records und --size angeben");
    if (opt.Records < 0 && opt.Size < 0)
        opt.Records = 10;
    if (outFile.empty())
        return Usage("keine Ausgabedatei angegeben (-o DATEI)");

    std::FILE *out = stdout;
    if (outFile != "-") {
        out = std::fopen(outFile.c_str(), "wb");
        if (!out) {
            std::fprintf(stderr, "ldtgen: %s kann nicht geschrieben werden: %s\n", outFile.c_str(),
                         std::strerror(errno));
            return ExitIo;
        }
    }
    TLdtGenerator gen(opt);
    bool ok = gen.Generate(out);
    if (out != stdout && std::fclose(out) != 0)
        ok = false;
    if (!ok) {
        std::fprintf(stderr, "ldtgen: Fehler beim Schreiben von %s: %s\n", outFile.c_str(),
                     std::strerror(errno));
        return ExitIo;
    }
    if (verbose)
        std::fprintf(stderr, "ldtgen: %lld Bytes, %lld Sätze, %.1f %% in Base64-Zeilen\n",
                     static_cast<long long>(gen.BytesWritten()),
                     static_cast<long long>(gen.RecordCount()),
                     gen.BytesWritten() ? 100.0 * double(gen.Base64Bytes()) / double(gen.BytesWritten()) : 0.0);
    return 0;
}
