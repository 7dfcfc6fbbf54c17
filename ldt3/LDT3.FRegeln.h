// Format rules (F-rules): checks of the inner structure of a field content,
// one pure function per rule F001 to F024 (F023 and F024 came with LDT 3.2).
#pragma once

#include "WStrTools.h"

#include <QString>

// Rule 0 (none) is always true, 1 to 24 run their check, any other number is false.
bool CheckFRegel(int AFRegel, const QString &AInhalt);

// Cuts the longest leading run of characters of S that lie in ASet into APrefix.
void TakeCharsInSet(QString &S, const TCharSet &ASet, QString &APrefix);

bool CheckF001(const QString &AInhalt); // 5 digits
bool CheckF002(const QString &AInhalt); // date JJJJMMTT
bool CheckF003(const QString &AInhalt); // birth date, partial forms
bool CheckF004(const QString &AInhalt); // ICD code
bool CheckF005(const QString &AInhalt); // weeks and days of pregnancy WWT
bool CheckF006(const QString &AInhalt); // duration hhmm
bool CheckF007(const QString &AInhalt); // LDT version
bool CheckF008(const QString &AInhalt); // fee number
bool CheckF009(const QString &AInhalt); // fee number nnnnn[A-Z]
bool CheckF010(const QString &AInhalt); // BSNR with region code
bool CheckF011(const QString &AInhalt); // LANR with check digit
bool CheckF012(const QString &AInhalt); // KBV test number
bool CheckF013(const QString &AInhalt); // insurance ID with check digit
bool CheckF014(const QString &AInhalt); // team number with check digit
bool CheckF015(const QString &AInhalt); // blood pressure nnn/nnn
bool CheckF016(const QString &AInhalt); // time hhmmss[mmm]
bool CheckF017(const QString &AInhalt); // year
bool CheckF018(const QString &AInhalt); // date, partial forms
bool CheckF019(const QString &AInhalt); // 2 digits
bool CheckF020(const QString &AInhalt); // PZN with check digit
bool CheckF021(const QString &AInhalt); // BSNR 35kknnnnn
bool CheckF022(const QString &AInhalt); // 555555nff
bool CheckF023(const QString &AInhalt); // months n, nn, n-n, n-nn, nn-nn
bool CheckF024(const QString &AInhalt); // HPV type or group "G1:31/33/52/58"

// The region codes that F010 and F021 accept (two digits).
bool IsFRegelRegionCode(const QString &AKK);
