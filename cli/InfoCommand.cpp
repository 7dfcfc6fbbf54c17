#include "InfoCommand.h"

#include "LDT3.Base.h"
#include "LDT3.Data.h"
#include "LDT3.Feld.h"
#include "LDT3.RegelInfo.h"

#include <QTextStream>

#include <cstdio>

int RunInfoCommand(const QString &AQuery, QTextStream &AOut)
{
    try {
        TLDT3Data::TInfoTyp InfoTyp;
        const QString Page = TLDT3Data::GetInfoXHTML(AQuery, InfoTyp);
        AOut << Page;
        AOut.flush();

        int SearchNum;
        QString SearchStr;
        TLDT3Data::GetInfoTyp(AQuery, SearchNum, SearchStr);
        bool Found = false;
        switch (InfoTyp) {
        case TLDT3Data::itFeld: Found = GetLDT3FeldDict()->FeldExists(SearchNum); break;
        case TLDT3Data::itAlleRegeln:
            Found = !GetLDT3FeldDict()->GetFeldRegelInfoTableXHTML(SearchNum).isEmpty();
            break;
        case TLDT3Data::itERegel:
        case TLDT3Data::itFRegel:
        case TLDT3Data::itKRegel: Found = GetLDT3RegelDict()->FindRegel(SearchStr) != nullptr; break;
        case TLDT3Data::itNone: break;
        }
        return Found ? 0 : 1;
    } catch (const ELDT3Error &E) {
        std::fprintf(stderr, "%s\n", E.what());
        return 2;
    }
}
