// The operation window's run: the Action and Stop buttons, the device loop,
// site results and progress. The logic lives in OperationRun; these are the
// window's entries to it.

#include "operation/frmProgram.h"

// Being built: each entry below is replaced by the run.
void frmProgram::btnAction_Click() {}
void frmProgram::btnStop_Click() {}
qint32 frmProgram::ExecuteOperation() { return -1; }
qint32 frmProgram::ExecuteOperationCore() { return -1; }
void frmProgram::AbortCommand() {}
qint32 frmProgram::GetPgmrCommandToRun() { return 9; }
bool frmProgram::ActionIsRepeatable(qint32) { return false; }
qint32 frmProgram::GetNumberOfOperations() { return 1; }
void frmProgram::Start_PowerSupplyLogFile() {}
void frmProgram::SetSiteStatus(qint32, qint32, qint32) {}
void frmProgram::SetOperationProgress(qint32, qint32) {}
void frmProgram::SetOperationComplete(qint32) {}
QString frmProgram::BUFFER_EMPTY() { return QStringLiteral("<Empty>"); }
