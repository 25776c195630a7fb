#pragma once

// The version texts of the splash and About windows, of the window caption
// and of the logs; the start-up information block of the black-box log; the
// switch of the programmer to its demo port; and the export log, the plain
// copy of the operator's status lines that the OEM edition writes to the file
// named by "-log".
//
// They belong to the main window, which forwards to them; they take the engine
// they read, so they also run without a main window.

#include <QDateTime>
#include <QString>
#include <QtGlobal>
#include <functional>

class ProgrammerClass;
class QXPgmrControl;

// The engine control the version texts and the black-box log ask: the main
// window's (given by the main window to SetMainWindowEngine) when it has one
// attached, else the one given to SetHostEngine (tools and tests that run
// without a main window); nullptr when neither.
QXPgmrControl* HostEngine();
void SetHostEngine(QXPgmrControl* engine);
void SetMainWindowEngine(QXPgmrControl* engine);

// "<product> <version>  Algo DB Rev. <revision>": the engine as the logs name
// it, "Tarvo" (or "DTarvo" in its Vexal mode) with its version number and the
// algorithm database's revision in hexadecimal; "V" before the version when
// bWithV. A part that cannot be read is 0.
QString LogVersionLine(QXPgmrControl& engine, bool bWithV);

// The date and time stamps of the logs: the general date (month/day/year and
// the time with seconds), and its date and time halves. They do not follow the
// locale, so the programs that read the logs always find the same form.
QString GeneralDateText(const QDateTime& when);
// The general date of the present moment, as the log lines are stamped.
QString GeneralDateTextNow();
QString ShortDateText(const QDate& date);
QString LongTimeText(const QTime& time);

// The program's legal notice (its version information).
QString LegalNotice();

// "V<major>.<minor>.<revision>" of the engine; a part that cannot be read is 0.
QString GetSoftwareVersion(QXPgmrControl& engine);
// The caption's version and date: "V442.1.9  10/15/2007" for a release (the
// revision is 9 or less, with the release date EngineDatePart1),
// "V442.1.Beta  11/01/2007" for a beta build (revision above 9, with the beta
// date EngineDatePart2). A value that cannot be read is left out.
QString GetVersionNDate(QXPgmrControl& engine);
// The splash window's version line:
// "V<major>.<minor>.<build>  Algo DB Rev. <revision>  "; one blank when the
// engine cannot be read.
QString SplashVersionLine(QXPgmrControl& engine);
// The About window's version: the build and the release date when the build
// is 9, else "Beta" and the beta date.
QString AboutVersionText(QXPgmrControl& engine);
// "Algo DB Rev. <revision>".
QString AboutRevisionText(QXPgmrControl& engine);

// The application execution information block the main window's load writes
// to the black-box log: product and version, date, time, user and the log
// folder.
void WriteStartupInformation(QXPgmrControl& engine);

// Puts the programmer on its demo port with the given model. updateWindows
// runs the window steps after the switch (the operation window's caption and
// the handler state); addStatusTextLine reports a failure, which also goes to
// the black-box log and skips the remaining steps.
void SetDemoMode(qint32 model, ProgrammerClass& pgmrData, QXPgmrControl& engine,
                 const std::function<void()>& updateWindows,
                 const std::function<void(const QString&)>& addStatusTextLine);

// The export log of the OEM edition. WriteInfoToLogFile appends one line
// (with the date and time in front when bAddDate is True) to the file named by
// "-log" and closes it; the first line of a run replaces the file an earlier
// run left. A file that cannot be written is reported once ("Log File
// Error") and ends export logging for the run.
void WriteInfoToLogFile(const QString& text, bool bAddDate);
void SetExportChiseloLogFile(bool value);
// The export log's state as the main window's load leaves it: the next line
// starts a new file, nothing written yet.
void ResetExportLog();
