// Vocabulary of the LDT 3 format: field identifier classes, number texts,
// data types, date/time display, the file naming rule, object and rule names.
#pragma once

#include "Vex_Error.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct TLDT3
{
    enum TFKTyp {
        fkt_None,
        fkt_XDTVersion,
        fkt_SatzArt,
        fkt_SatzEnde,
        fkt_ObjektIdent,
        fkt_ObjektEnde,
        fkt_Pruefsumme,
        fkt_ObjektAttribut,
        fkt_Base64CodierteZeile,
    };

    enum DataTyp { num, alnum, f, date };

    // Structural field identifiers
    static constexpr int FK_XDTVersion = 1;
    static constexpr int FK_SatzArt = 8000;
    static constexpr int FK_SatzEnde = 8001;
    static constexpr int FK_ObjektIdent = 8002;
    static constexpr int FK_ObjektEnde = 8003;
    static constexpr int FK_Pruefsumme = 9300;
    static constexpr int FK_Base64 = 6329;
    static constexpr int FK_ObjektAttributFirst = 8100;
    static constexpr int FK_ObjektAttributLast = 8299;

    static TFKTyp GetFKTyp(int AFK);
    static bool IsXDTVersion(int AFK) { return AFK == FK_XDTVersion; }
    static bool IsSatzArt(int AFK) { return AFK == FK_SatzArt; }
    static bool IsSatzEnde(int AFK) { return AFK == FK_SatzEnde; }
    static bool IsObjektIdent(int AFK) { return AFK == FK_ObjektIdent; }
    static bool IsObjektEnde(int AFK) { return AFK == FK_ObjektEnde; }
    static bool IsPruefsumme(int AFK) { return AFK == FK_Pruefsumme; }
    static bool IsObjektAttribut(int AFK)
    {
        return AFK >= FK_ObjektAttributFirst && AFK <= FK_ObjektAttributLast;
    }
    static bool IsBase64CodierteZeile(int AFK) { return AFK == FK_Base64; }

    static bool VersionIsLDT(const QString &AVersion);
    static bool IsLDTVersionOrHigher(const QString &AVersion, int Ver1, int Ver2, int Ver3);

    static QString IntToStr_LZ(qint64 Value, int Width);
    static QByteArray IntToTBytes_LZ(qint64 Value, int Width);
    static QString IntToFL(int Value) { return IntToStr_LZ(Value, 3); }
    static QString IntToFK(int Value) { return IntToStr_LZ(Value, 4); }
    static QString FKAndPrefix(int Value);
    static int IntFLFromLenInhalt(int ALenInhalt) { return ALenInhalt + 9; }
    static QString FLFromInhalt(const QString &AInhalt);

    static bool HasObjektPrefix(const QString &AObjektIdent);
    static int GetObjektNumber(const QString &AObjektIdent, int ADefNumber);

    static bool CheckDataTyp(DataTyp ADataTyp, const QString &AInhalt);
    static bool Is_num(const QString &S);
    static bool Is_f(const QString &S);
    static bool Is_date(const QString &S);
    static bool Is_zero(const QString &S);

    static QString LDT3DateToStr(const QString &ADate);
    static QString LDT3TimeToStr(const QString &ATime);

    static bool CheckFileName(const QString &ALDT3FileName);
};

QString ERegelToStr(int N);
QString FRegelToStr(int N);
QString KRegelToStr(int N);
QStringList ERegelnToStrArray(const QList<int> &A);
QStringList FRegelnToStrArray(const QList<int> &A);
QStringList KRegelnToStrArray(const QList<int> &A);
// Parse "E001" etc.; empty text gives true with N = 0; anything else malformed throws ELDT3Error.
bool StrToRegelNr(QChar Letter, const QString &S, int &N);
bool StrToERegel(const QString &S, int &N);
bool StrToFRegel(const QString &S, int &N);
bool StrToKRegel(const QString &S, int &N);
