#include "LDT3.Base.h"

#include "LDT3.Zeichen.h"

TLDT3::TFKTyp TLDT3::GetFKTyp(int AFK)
{
    switch (AFK) {
    case FK_XDTVersion: return fkt_XDTVersion;
    case FK_SatzArt: return fkt_SatzArt;
    case FK_SatzEnde: return fkt_SatzEnde;
    case FK_ObjektIdent: return fkt_ObjektIdent;
    case FK_ObjektEnde: return fkt_ObjektEnde;
    case FK_Pruefsumme: return fkt_Pruefsumme;
    case FK_Base64: return fkt_Base64CodierteZeile;
    default: break;
    }
    return IsObjektAttribut(AFK) ? fkt_ObjektAttribut : fkt_None;
}

bool TLDT3::VersionIsLDT(const QString &AVersion)
{
    return AVersion.startsWith(QLatin1String("LDT"));
}

bool TLDT3::IsLDTVersionOrHigher(const QString &AVersion, int Ver1, int Ver2, int Ver3)
{
    if (!VersionIsLDT(AVersion))
        return false;
    QStringList pieces = AVersion.mid(3).split(QLatin1Char('.'));
    if (!pieces.isEmpty() && pieces.last().isEmpty())
        pieces.removeLast();
    if (pieces.size() != 3)
        return false;
    int v[3];
    for (int i = 0; i < 3; ++i) {
        if (!Is_num(pieces[i]))
            return false;
        bool ok = false;
        v[i] = pieces[i].toInt(&ok);
        if (!ok) // more digits than an int holds: not a valid version
            return false;
    }
    if (v[0] > 9)
        return false;
    if (v[0] != Ver1)
        return v[0] > Ver1;
    if (v[1] != Ver2)
        return v[1] > Ver2;
    return v[2] >= Ver3;
}

QString TLDT3::IntToStr_LZ(qint64 Value, int Width)
{
    QString s = QString::number(Value);
    if (s.size() < Width)
        s.prepend(QString(Width - s.size(), QLatin1Char('0')));
    return s;
}

QByteArray TLDT3::IntToTBytes_LZ(qint64 Value, int Width)
{
    return IntToStr_LZ(Value, Width).toLatin1();
}

QString TLDT3::FKAndPrefix(int Value)
{
    if (Value < 1)
        return QString();
    return QLatin1String("FK ") + IntToFK(Value);
}

QString TLDT3::FLFromInhalt(const QString &AInhalt)
{
    return IntToFL(IntFLFromLenInhalt(int(AInhalt.size())));
}

bool TLDT3::HasObjektPrefix(const QString &AObjektIdent)
{
    return AObjektIdent.startsWith(QLatin1String("Obj_"));
}

int TLDT3::GetObjektNumber(const QString &AObjektIdent, int ADefNumber)
{
    if (!HasObjektPrefix(AObjektIdent))
        return ADefNumber;
    bool ok = false;
    const int n = AObjektIdent.mid(4).toInt(&ok);
    return ok ? n : ADefNumber;
}

bool TLDT3::CheckDataTyp(DataTyp ADataTyp, const QString &AInhalt)
{
    if (AInhalt.isEmpty())
        return false;
    switch (ADataTyp) {
    case num: return Is_num(AInhalt);
    case alnum: return LDT3StrAllowed(AInhalt, false);
    case f: return Is_f(AInhalt);
    case date: return Is_date(AInhalt);
    }
    return false;
}

static inline bool IsDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

bool TLDT3::Is_num(const QString &S)
{
    if (S.isEmpty())
        return false;
    for (QChar c : S)
        if (!IsDigit(c))
            return false;
    return true;
}

bool TLDT3::Is_f(const QString &S)
{
    if (S.isEmpty())
        return false;
    int points = 0;
    for (QChar c : S) {
        if (c == QLatin1Char('.')) {
            if (++points > 1)
                return false;
        } else if (!IsDigit(c)) {
            return false;
        }
    }
    return true;
}

bool TLDT3::Is_date(const QString &S)
{
    if (S.size() != 8 || !Is_num(S))
        return false;
    auto digit = [&S](int i) { return S[i].unicode() - '0'; };
    if (digit(0) == 0 && digit(1) == 0 && digit(2) == 0 && digit(3) == 0)
        return false;
    const int month = digit(4) * 10 + digit(5);
    const int day = digit(6) * 10 + digit(7);
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

bool TLDT3::Is_zero(const QString &S)
{
    if (S.isEmpty())
        return false;
    for (QChar c : S)
        if (c != QLatin1Char('0'))
            return false;
    return true;
}

QString TLDT3::LDT3DateToStr(const QString &ADate)
{
    if (ADate.size() != 8 || !Is_num(ADate))
        return QString();
    // dd.mm.yyyy in one allocation: one of these is built per date in a tree
    const QStringView d(ADate);
    QString r;
    r.reserve(10);
    return r.append(d.mid(6, 2)).append(u'.').append(d.mid(4, 2)).append(u'.').append(d.left(4));
}

QString TLDT3::LDT3TimeToStr(const QString &ATime)
{
    if ((ATime.size() != 6 && ATime.size() != 9) || !Is_num(ATime))
        return QString();
    const QStringView t(ATime);
    const QStringView ss = t.mid(4, 2);
    const QStringView ms = t.mid(6, 3);
    QString r;
    r.reserve(18);
    r.append(t.left(2)).append(u':').append(t.mid(2, 2));
    if (ATime.size() == 9 && !Is_zero(ms.toString()))
        r.append(u':').append(ss).append(u':').append(ms);
    else if (ss != u"00")
        r.append(u':').append(ss);
    return r.append(QLatin1String(" Uhr"));
}

bool TLDT3::CheckFileName(const QString &ALDT3FileName)
{
    const qsizetype slash = qMax(ALDT3FileName.lastIndexOf(QLatin1Char('/')),
                                 ALDT3FileName.lastIndexOf(QLatin1Char('\\')));
    const QString name = ALDT3FileName.mid(slash + 1);
    if (name.size() < 7 || name.size() > 256)
        return false;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || name.mid(dot).compare(QLatin1String(".ldt"), Qt::CaseInsensitive) != 0)
        return false;
    const QString base = name.left(dot);
    if (!base.startsWith(QLatin1String("Z01"), Qt::CaseInsensitive))
        return false;
    for (qsizetype i = 3; i < base.size(); ++i) {
        const char16_t c = base[i].unicode();
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok)
            return false;
    }
    return true;
}

static QString RegelToStr(QChar Letter, int N)
{
    if (N < 1)
        return QString();
    return Letter + TLDT3::IntToStr_LZ(N, 3);
}

QString ERegelToStr(int N) { return RegelToStr(QLatin1Char('E'), N); }
QString FRegelToStr(int N) { return RegelToStr(QLatin1Char('F'), N); }
QString KRegelToStr(int N) { return RegelToStr(QLatin1Char('K'), N); }

static QStringList RegelnToStrArray(QChar Letter, const QList<int> &A)
{
    QStringList r;
    for (int n : A)
        if (n > 0)
            r.append(RegelToStr(Letter, n));
    return r;
}

QStringList ERegelnToStrArray(const QList<int> &A) { return RegelnToStrArray(QLatin1Char('E'), A); }
QStringList FRegelnToStrArray(const QList<int> &A) { return RegelnToStrArray(QLatin1Char('F'), A); }
QStringList KRegelnToStrArray(const QList<int> &A) { return RegelnToStrArray(QLatin1Char('K'), A); }

bool StrToRegelNr(QChar Letter, const QString &S, int &N)
{
    N = 0;
    if (S.isEmpty())
        return true;
    if (S.size() == 4 && S[0] == Letter && TLDT3::Is_num(S.mid(1))) {
        N = S.mid(1).toInt();
        return true;
    }
    throw ELDT3Error(QStringLiteral("Fehler: Unglültige Regelangabe: \"%1\"").arg(S));
}

bool StrToERegel(const QString &S, int &N) { return StrToRegelNr(QLatin1Char('E'), S, N); }
bool StrToFRegel(const QString &S, int &N) { return StrToRegelNr(QLatin1Char('F'), S, N); }
bool StrToKRegel(const QString &S, int &N) { return StrToRegelNr(QLatin1Char('K'), S, N); }
