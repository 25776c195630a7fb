#pragma once

// The program's entry and start-up: command line, single instance, edition,
// the one main window, and the process-wide values other windows read.

#include "platform/AppInfo.h"

#include <QString>
#include <array>

class frmMain;

// Process-wide start-up values.
extern frmMain* gMainForm;
extern QString gUserName;
extern bool gbVexalMode;
extern bool gbGenerateDeviceList;
constexpr int kMaxCmdLineTokens = 101;
extern std::array<QString, kMaxCmdLineTokens> gCmdLineTokens;
extern qint16 gCmdLineTokenCount;
extern QString gCmdLineJobFile;
extern QString gCmdLineDevice;
extern QString gCmdLineDataFile;
extern QString gCmdLineLogFile;

// The process entry: runs the start-up when a user started the program, then
// the event loop while a window is open. Returns the process's exit code.
int Main();

// The start-up body. Returns False when the process is to end at once (a
// second instance, the usage box, a failed registration or load).
bool StartApplication();

// How the last start-up ended. A failed one (settings folder, companions,
// database, engine) ends the process with kStartUpFailedExitCode, so that a
// wrapper script can tell; a refused second instance and the usage box end
// it with 0.
enum class StartUpOutcome { NotAttempted, Started, Ended, Failed };
StartUpOutcome LastStartUpOutcome();
constexpr int kStartUpFailedExitCode = 1;

// SIGTERM and SIGINT: a box that waits ends with its default answer; while
// start-up runs the request is only recorded (Main closes the station once
// start-up has finished); afterwards the station closes as its own Exit does.
void OnTerminationRequest();
bool TerminationRequested();

// Gives up the single-instance lock and forgets the start-up attempt (the
// process ends; tests start again).
void ReleaseInstanceLock();

// Called by the automation classes: starts the program when it has not
// started yet, then readies the engine for a client. Start-up is tried once
// per process: after a failed one, or while it runs, this answers False at
// once.
bool EnsureMainWindow(bool bMonitorOnly);

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
