// Fuzz target: reading the test module's XML result on arbitrary bytes.
#include "LDT3.Base.h"
#include "LDT3.XML_XPM_List.h"

#include <QByteArray>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *AData, size_t ASize)
{
    // the fuzzer's bytes are read in place, never copied
    const QByteArray xml = QByteArray::fromRawData(reinterpret_cast<const char *>(AData), qsizetype(ASize));
    try {
        std::unique_ptr<TXPMErrList> list = ParseXPMErrList(xml);
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
