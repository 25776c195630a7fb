#pragma once

// The black-box log "BlackBox.log", the program's running log that every part
// of the program writes through WriteLogInfo, and the handler state the main
// window passes to the automatic-handler control.
//
// Each line is appended and the file closed again, so the log survives a
// crash of the process. The log lives in the folder named by the machine-wide
// setting "Directory Paths"/"Log", else in the engine's folder under
// "DATALOG". The first line of a run, and the first line after the file has
// passed 1,048,576 bytes, first move the file to an archive "qx<n>.log"
// (n = 0 to 159: the first free number, else the oldest archive).

#include <QString>
#include <sys/types.h>
#include <functional>

class H950HdlrControl;

// Appends one line: the text alone, or with bTimeStamp the date and time, two
// blanks and the text. A text containing "Job Starts" (in any letter case)
// gets the job header first: the engine's version, the operator or supervisor
// mode, the device and the buffer. When neither "BlackBox.log" nor "qx.dat"
// can be opened, the operator may retry. A line is written whole or not at
// all (a full disk leaves no torn line); a line that is written nowhere goes
// to stderr.
void WriteLogInfo(const QString& text, bool bTimeStamp);

namespace blackbox {

// What the job header reads of the running job. The main window sets it once
// its operation window exists; unset parts give "Supervisor Mode" and empty
// device and buffer texts.
struct JobHeaderSource
{
    std::function<bool()> operatorMode;     // the job configuration's bStartInOperatorMode
    std::function<QString()> deviceInfo;    // the operation window's GetDeviceInfo
    std::function<QString()> bufferInfo;    // the operation window's GetBufferInfo
};
void SetJobHeaderSource(JobHeaderSource source);

// The next line moves the present "BlackBox.log" to an archive first. A run
// begins in this state; the main window's load sets it again.
void RequestRotation();

// Test seam: the write(2) the log appends with; nullptr restores it.
using WriteFunction = ssize_t (*)(int fd, const void* data, size_t size);
void SetWriteFunction(WriteFunction write);

// The engine's folder followed by "DATALOG"; empty when no engine answers.
QString GetDefaultLogFolder();
// The log folder: the machine-wide "Directory Paths"/"Log" value, else the
// default folder.
QString GetLogFolder();

} // namespace blackbox

// Tells the automatic-handler control the handler type of the job: type 0
// (manual) sends HandlerCommand1001; types 1 and 2 (the automatic handler
// families) give it the serial number and send HandlerCommand1000; any other
// type sends nothing. The control's refusal is passed over.
void SetHandlerStateInfo(qint32 handlerType, const QString& serialNumber, H950HdlrControl& handler);
