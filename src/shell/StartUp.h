#pragma once

// The program's entry and start-up: single instance, edition, the one main
// window; the command-line values it reads are in CommandLine.h.

#include "platform/AppInfo.h"
#include "shell/CommandLine.h"

#include <QString>
#include <array>

class frmMain;

// Process-wide start-up values.
extern frmMain* gMainForm;

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

// SIGTERM and SIGINT: the station's one shutdown path (shutdown::Request):
// a box that waits ends with its default answer, and the station closes as
// its own Exit does once every nested loop has returned and start-up has
// finished.
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
