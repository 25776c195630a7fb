#pragma once

// The command line: the raw text this process was started with, its tokens,
// and the flags and option values read from it, process-wide for start-up and
// the windows that carry the options out.

#include <QString>
#include <array>

extern bool gbVexalMode;
extern bool gbGenerateDeviceList;
constexpr int kMaxCmdLineTokens = 101;
extern std::array<QString, kMaxCmdLineTokens> gCmdLineTokens;
extern qint16 gCmdLineTokenCount;
extern QString gCmdLineJobFile;
extern QString gCmdLineDevice;
extern QString gCmdLineDataFile;
extern QString gCmdLineLogFile;

// Reads the flags and option values of a raw command line into the
// process-wide values (the Vexal flag, the tokens, the device-list flag and
// the "-SK", "-device", "-prog_file" and "-log" values).
void ReadCommandLine(const QString& raw);
qint16 ParseCommandLine(const QString& text);
void StripQuotes(QString& s);
int FindCommandLineArg(const QString& switchText);
void ClearCommandLineFiles();

QString GetCmdLineDataFile();
void SetCmdLineDataFile(const QString& s);
QString GetCmdLineLogFile();
void SetCmdLineLogFile(const QString& s);
QString GetCmdLineDevice();
void SetCmdLineDevice(const QString& s);

// The raw command line this process was started with (set once by Main; tests
// may set it before calling StartApplication).
QString RawCommandLineText();
void SetRawCommandLineText(const QString& text);
