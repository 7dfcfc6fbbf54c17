// Fuzz target: reading the test module's XML result on arbitrary bytes.
#include "LDT3.Base.h"
#include "LDT3.XML_XPM_List.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *AData, size_t ASize)
{
    static QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("result.xml"));
    {
        QFile f(name);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char *>(AData), qint64(ASize));
    }
    try {
        std::unique_ptr<TXPMErrList> list = LoadXPMErrList(name);
        if (list) {
            (void)list->GetXPMMessageTableXHTML();
            (void)list->GetXPMParameterTableXHTML();
            for (int z : list->AlleZeilen())
                (void)list->XPMShortFehlerName(z);
        }
    } catch (const ELDT3Error &) {
        // a malformed result is reported, never a crash
    }
    return 0;
}
