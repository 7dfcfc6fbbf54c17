#include "LDT3.Data.h"

#include "LDT3.Base.h"
#include "LDT3.Feld.h"
#include "LDT3.Html.h"
#include "LDT3.RegelInfo.h"
#include "Vex_BufStr.h"
#include "WStrTools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

QMutex GMutex;
QString GConfiguredTmpDir;

QString WithSlash(const QString &ADir)
{
    if (ADir.isEmpty() || ADir.endsWith(QLatin1Char('/')))
        return ADir;
    return ADir + QLatin1Char('/');
}

// Deletes the scheduled files when the process ends.
struct TScheduled
{
    QStringList Files;
    ~TScheduled() { TLDT3Data::DeleteScheduledFiles(); }
};

TScheduled &Scheduled()
{
    static TScheduled s;
    return s;
}

QStringList ReadLines(const QString &AFileName)
{
    QFile f(AFileName);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool WriteLines(const QString &AFileName, const QStringList &ALines)
{
    if (ALines.isEmpty())
        return !QFileInfo::exists(AFileName) || QFile::remove(AFileName);
    QDir().mkpath(QFileInfo(AFileName).absolutePath());
    QSaveFile f(AFileName);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(ALines.join(QLatin1Char('\n')).toUtf8() + '\n');
    return f.commit();
}

} // namespace

QString TLDT3Data::GetWinTmpDir()
{
    const QString t = QDir::tempPath();
    if (t.isEmpty())
        return QString();
    return WithSlash(QFileInfo(t).canonicalFilePath().isEmpty() ? t : QFileInfo(t).canonicalFilePath());
}

QString TLDT3Data::GetLDTTmpDir()
{
    QMutexLocker lock(&GMutex);
    if (GConfiguredTmpDir.isEmpty())
        GConfiguredTmpDir = GetWinTmpDir() + QStringLiteral("Ventolix");
    if (!QDir().mkpath(GConfiguredTmpDir))
        return GetWinTmpDir();
    return GConfiguredTmpDir;
}

void SetLDTTmpDir(const QString &ADir)
{
    {
        QMutexLocker lock(&GMutex);
        GConfiguredTmpDir = ADir;
    }
    const QString dir = TLDT3Data::GetLDTTmpDir();
    QMutexLocker lock(&GMutex);
    GConfiguredTmpDir = dir;
}

QString TLDT3Data::MakeTmpFile(const QString &ATmpPrefix)
{
    const QString prefix = ATmpPrefix.isEmpty() ? QStringLiteral("TMP") : ATmpPrefix.left(3);
    QTemporaryFile f(WithSlash(GetLDTTmpDir()) + prefix + QStringLiteral("XXXXXX.tmp"));
    f.setAutoRemove(false);
    if (!f.open())
        throw ELDT3Error(QStringLiteral("Es konnte keine temporäre Datei angelegt werden: %1").arg(f.errorString()));
    const QString name = f.fileName();
    f.close();
    if (QFileInfo::exists(name))
        QFile::remove(name);
    return name;
}

bool TLDT3Data::TryDeleteFile(const QString &AFileName)
{
    if (!QFileInfo::exists(AFileName))
        return true;
    if (QFile::remove(AFileName))
        return true;
    return DeleteFileAfterReboot(AFileName);
}

bool TLDT3Data::DeleteFileAfterReboot(const QString &AFileName)
{
    if (AFileName.isEmpty())
        return false;
    const QString abs = QFileInfo(AFileName).absoluteFilePath();
    QMutexLocker lock(&GMutex);
    TScheduled &s = Scheduled();
    if (!s.Files.contains(abs))
        s.Files.append(abs);
    return true;
}

QString TLDT3Data::PendingDeletesFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Norvalis GmbH/ventolix-pending-deletes.txt");
}

QStringList TLDT3Data::ScheduledFiles()
{
    QMutexLocker lock(&GMutex);
    return Scheduled().Files;
}

void TLDT3Data::DeleteScheduledFiles()
{
    QStringList files;
    {
        QMutexLocker lock(&GMutex);
        files.swap(Scheduled().Files);
    }
    if (files.isEmpty())
        return;
    QStringList left;
    for (const QString &f : std::as_const(files))
        if (QFileInfo::exists(f) && !QFile::remove(f))
            left << f;
    if (!left.isEmpty()) {
        QStringList pending = ReadLines(PendingDeletesFile());
        for (const QString &f : std::as_const(left))
            if (!pending.contains(f))
                pending << f;
        WriteLines(PendingDeletesFile(), pending);
    }
}

void TLDT3Data::DeletePendingFiles()
{
    const QString list = PendingDeletesFile();
    QStringList left;
    for (const QString &f : ReadLines(list))
        if (QFileInfo::exists(f) && !QFile::remove(f))
            left << f;
    WriteLines(list, left);
}

// ---------------------------------------------------------------- information pages

namespace {

// Decimal integer, or -1 when the text is none.
int StrToIntOrMinus1(const QString &S)
{
    bool Ok = false;
    const int N = S.toInt(&Ok, 10);
    return Ok ? N : -1;
}

QString InfoTypLabel(TLDT3Data::TInfoTyp AInfoTyp)
{
    switch (AInfoTyp) {
    case TLDT3Data::itFeld: return QStringLiteral("Feld");
    case TLDT3Data::itERegel: return QStringLiteral("E-Regel");
    case TLDT3Data::itFRegel: return QStringLiteral("F-Regel");
    case TLDT3Data::itKRegel: return QStringLiteral("K-Regel");
    case TLDT3Data::itNone:
    case TLDT3Data::itAlleRegeln: break;
    }
    return QString();
}

QString SearchPage(TLDT3Data::TInfoTyp AInfoTyp, const QString &ASearchStr)
{
    const QString Label = InfoTypLabel(AInfoTyp);
    const QString Text = ASearchStr.isEmpty()
                             ? QStringLiteral("Suche nach %1...").arg(Label)
                             : QStringLiteral("Suche nach %1 \"%2\"...").arg(Label, ASearchStr);
    TBufferedString Body;
    Body.AddLine(QStringLiteral("<h1>") + XmlEscape(Text) + QStringLiteral("</h1>"));
    if (!ASearchStr.isEmpty()) {
        Body.AddLine(QStringLiteral("<h2>Nicht gefunden!</h2>"));
    } else {
        for (const char *L : {"<h3>FK: &lt;Nr&gt;</h3>", "<h3>E-Regel: e + &lt;Nr&gt;</h3>",
                              "<h3>F-Regel: f + &lt;Nr&gt;</h3>", "<h3>K-Regel: k + &lt;Nr&gt;</h3>",
                              "<p><br />Beispiele:<br />", "<br />", "8000 sucht nach FK 8000<br />",
                              "e3 sucht nach E-Regel E003<br />", "</p>"})
            Body.AddLine(QLatin1String(L));
    }
    return XHTMLStrictDoc(Text, TLDT3Html::LookupStyle(), Body.AsString());
}

} // namespace

TLDT3Data::TInfoTyp TLDT3Data::GetInfoTyp(const QString &AStr, int &SearchNum, QString &SearchStr)
{
    SearchNum = -1;
    SearchStr.clear();
    QString S = TrimBlanks(AStr);
    if (S.size() >= 2 && S[0].toUpper() == QLatin1Char('F') && S[1].toUpper() == QLatin1Char('K')
        && S[0].unicode() < 128 && S[1].unicode() < 128)
        S = TrimBlanks(S.mid(2));
    if (S.isEmpty())
        return itNone;

    TInfoTyp Result = itNone;
    const QChar C = S[0];
    if (C >= QLatin1Char('0') && C <= QLatin1Char('9')) {
        SearchNum = StrToIntOrMinus1(S);
        Result = itFeld;
    } else {
        switch (C.unicode()) {
        case u'E': case u'e': Result = itERegel; break;
        case u'F': case u'f': Result = itFRegel; break;
        case u'K': case u'k': Result = itKRegel; break;
        case u'R': case u'r': Result = itAlleRegeln; break;
        default: return itNone;
        }
        SearchNum = StrToIntOrMinus1(S.mid(1));
    }

    if (SearchNum > 0) {
        switch (Result) {
        case itFeld:
        case itAlleRegeln: SearchStr = TLDT3::IntToFK(SearchNum); break;
        case itERegel: SearchStr = ERegelToStr(SearchNum); break;
        case itFRegel: SearchStr = FRegelToStr(SearchNum); break;
        case itKRegel: SearchStr = KRegelToStr(SearchNum); break;
        case itNone: break;
        }
    }
    return Result;
}

QString TLDT3Data::GetInfoXHTML(const QString &AStr, TInfoTyp &AInfoTyp, const TLDT3TableSet &ASet, bool *AFound)
{
    int SearchNum;
    QString SearchStr;
    AInfoTyp = GetInfoTyp(AStr, SearchNum, SearchStr);
    QString Page;
    switch (AInfoTyp) {
    case itFeld: Page = ASet.FeldDict()->GetFeldInfoXHTML(SearchStr, QString()); break;
    case itAlleRegeln: Page = ASet.FeldDict()->GetFeldRegelInfoXHTML(SearchStr); break;
    case itERegel:
    case itFRegel:
    case itKRegel: Page = ASet.RegelDict()->GetRegelInfoXHTML(SearchStr); break;
    case itNone: break;
    }
    if (AFound)
        *AFound = !Page.isEmpty();
    if (!Page.isEmpty())
        return Page;
    return SearchPage(AInfoTyp, SearchStr);
}

QString TLDT3Data::GetInfoXHTML(const QString &AStr, TInfoTyp &AInfoTyp)
{
    return GetInfoXHTML(AStr, AInfoTyp, TLDT3TableSet());
}

QString TLDT3Data::GetInfoXHTML(const QString &AStr)
{
    TInfoTyp InfoTyp;
    return GetInfoXHTML(AStr, InfoTyp);
}
