#pragma once

// The simulated engine's results and failure codes, with the texts it gives
// for them. One table, so that every code the engine can report has its
// words and its failure category, and the program's category counters can
// each be reached.
//
// A device run returns 0 when the device passed. A failed device returns its
// failure code (the code that also comes with the site's failed status), so
// a handler that only sees the result still knows why. The codes from 200 up
// are results of the run itself, not of a device:
//
//   code  text (ErrorMessageText; SiteErrorText for failure codes)     category
//   ----  ---------------------------------------------------------    -----------
//      0  "Operation successful"                                        (passed)
//      4  "Over-current on the device supply"                           over-current
//     59  "Power supply out of limits"                                  over-current
//     80  "Over-current on the programming voltage"                     over-current
//     14  "Continuity failure"                                          continuity
//     15  "Pin contact failure"                                         continuity
//     16  "Device inserted the wrong way round"                         continuity
//     56  "Ground pin not connected"                                    continuity
//     21  "Programming failure"                                         programming
//     22  "Erase failure"                                               erase
//     23  "Device ID mismatch"                                          bad ID
//     24  "Manufacturer ID mismatch"                                    bad ID
//     25  "No device ID read"                                           bad ID
//     26  "Device not blank"                                            non-blank
//     54  "Device not blank after erase"                                non-blank
//     27  "Security failure"                                            security
//     28  "Verify failure"                                              verify
//     50  "Verify failure at the margin voltage"                        verify
//     37  "Illegal bit set"                                             illegal bit
//     38  "Functional test failure"                                     functionality
//     39  "Device already secured"                                      already secured
//      7  "Socket empty"                                                none
//     29  "Device check skipped"                                        none
//     62  "Operation not completed"                                     none
//     81  "Unexpected device response"                                  other
//    200  "Operation aborted"               IsStopResult True
//    201  "Programmer not responding"       IsStopResult True (engine error)
//    202  "Command not available for this device"
//    203  "No device selected"
//    204  "No such site"
//
// A code the table does not hold reads "Failure code N" (SiteErrorText) or
// "Result N" (ErrorMessageText).

#include <QString>
#include <QtGlobal>

namespace RunResult {
constexpr qint32 Passed = 0;
constexpr qint32 Aborted = 200;
constexpr qint32 EngineError = 201;
constexpr qint32 InvalidCommand = 202;
constexpr qint32 NoDevice = 203;
constexpr qint32 InvalidSite = 204;

// The failure code a failing step reports unless the plan names another.
constexpr qint32 UnexpectedResponse = 81;

// SiteErrorText: the words of a failure code.
QString FailureText(qint32 code);
// ErrorMessageText: the words of a run's result.
QString ResultText(qint32 result);
// IsStopResult: the run cannot go on (an abort or an engine error).
bool IsStop(qint32 result);
// Every failure code of the table, in its order (for tests and the bench).
const QList<qint32>& FailureCodes();
} // namespace RunResult
