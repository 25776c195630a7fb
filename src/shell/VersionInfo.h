#pragma once

// Version texts shown by the splash and about windows.

#include <QString>

class QXPgmrControl;

// The program's legal notice (its version information).
QString LegalNotice();
// "V<ver>.<minor>.<build>  Algo DB Rev. <rev>  " from the engine's packed
// version, all in upper-case hexadecimal without leading zeros.
QString SplashVersionLine(QXPgmrControl& engine);
