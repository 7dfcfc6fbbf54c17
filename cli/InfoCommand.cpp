#include "InfoCommand.h"

#include "LDT3.Base.h"
#include "LDT3.Data.h"

#include <QTextStream>

#include <cstdio>

int RunInfoCommand(const QString &AQuery, QTextStream &AOut, const TLDT3TableSet &ASet)
{
    try {
        TLDT3Data::TInfoTyp InfoTyp;
        bool Found = false;
        const QString Page = TLDT3Data::GetInfoXHTML(AQuery, InfoTyp, ASet, &Found);
        AOut << Page;
        AOut.flush();
        return Found ? 0 : 1;
    } catch (const ELDT3Error &E) {
        std::fprintf(stderr, "%s\n", E.what());
        return 2;
    }
}
