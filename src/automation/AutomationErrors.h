#pragma once

// The errors the automation classes answer on the bus: a stable name under
// com.corvane.Tarvo.Error and a message made of the code, the source and the
// text ("0x80040227 CJobControl: The file x could not be accessed.").

#include <QString>

class AutomationError;

namespace automationerrors {

// The eight codes clients bind to (TarvoAutomationErrors).
constexpr qint32 kInvalidParamName = qint32(0x80040221);
constexpr qint32 kInvalidParamValue = qint32(0x80040222);
constexpr qint32 kUnsupportedParamName = qint32(0x80040223);
constexpr qint32 kUnsupportedParamValue = qint32(0x80040224);
constexpr qint32 kAutoHandlerModeRequired = qint32(0x80040226);
constexpr qint32 kFileNotFound = qint32(0x80040227);
constexpr qint32 kErrorLoadingFile = qint32(0x80040228);
constexpr qint32 kErrorSavingFile = qint32(0x80040229);
constexpr qint32 kJobParamBase = qint32(0x80040220);

struct BusError
{
    QString name;
    QString message;
};

// The error of one of the eight codes, or of name "JobParameter" for any
// other code a job parameter gave.
BusError ForCode(qint32 code, const QString& source, const QString& text);
// A job parameter's failure n: 0x80040220 + n, under its constant for 1 to
// 4 and under "JobParameter" for any other n (7 is not a missing file).
BusError ForJobParameter(qint32 n, const QString& source, const QString& text);
// An error raised inside a call (an engine call that failed).
BusError ForAutomation(const AutomationError& error);
// One of the station's own: JobRunning, UnknownClass, StartupFailed.
BusError Named(const QString& name, const QString& text);

QString CodeText(qint32 code);

} // namespace automationerrors
