// The operation window's run: the Action and Stop buttons, the device loop,
// site results and progress. The logic lives in OperationRun; these are the
// window's entries to it.

#include "operation/frmProgram.h"

void frmProgram::btnAction_Click()
{
    m_run.ActionClicked();
}
void frmProgram::btnStop_Click()
{
    m_run.StopClicked();
}
qint32 frmProgram::ExecuteOperation()
{
    return m_run.ExecuteOperation();
}
qint32 frmProgram::ExecuteOperationCore()
{
    return m_run.ExecuteOperationCore();
}
void frmProgram::AbortCommand()
{
    m_run.AbortCommand();
}
qint32 frmProgram::GetPgmrCommandToRun()
{
    return m_run.GetPgmrCommandToRun();
}
bool frmProgram::ActionIsRepeatable(qint32 action)
{
    return m_run.ActionIsRepeatable(action);
}
qint32 frmProgram::GetNumberOfOperations()
{
    return m_run.GetNumberOfOperations();
}
void frmProgram::Start_PowerSupplyLogFile()
{
    m_run.Start_PowerSupplyLogFile();
}
void frmProgram::SetSiteStatus(qint32 site, qint32 status, qint32 code)
{
    m_run.SetSiteStatus(site, status, code);
}
void frmProgram::SetOperationProgress(qint32 code, qint32 value)
{
    m_run.SetOperationProgress(code, value);
}
void frmProgram::SetOperationComplete(qint32 code)
{
    m_run.SetOperationComplete(code);
}
QString frmProgram::BUFFER_EMPTY()
{
    return QStringLiteral("<Empty>");
}

void frmProgram::PromptUserForNextDevice(bool setsMode, qint32 position, qint32 bank, qint32& prompted, qint32& answer)
{
    m_run.PromptUserForNextDevice(setsMode, position, bank, prompted, answer);
}

void frmProgram::TrackAbortRequest()
{
    m_run.TrackAbortRequest();
}
qint32 frmProgram::RunDeviceLoop()
{
    return m_run.RunDeviceLoop();
}
qint32 frmProgram::RunOperationLoop()
{
    return m_run.RunOperationLoop();
}
qint32 frmProgram::RunManualHandlerSession()
{
    return m_run.RunManualHandlerSession();
}
bool frmProgram::SendCustomActionSelections(qint16 action)
{
    return m_run.SendCustomActionSelections(action);
}
void frmProgram::ApplySiteStatus(qint32 index, qint32 status, qint32 code)
{
    m_run.ApplySiteStatus(index, status, code);
}
void frmProgram::HandlerSessionStarted()
{
    m_run.HandlerSessionStarted();
}
void frmProgram::HandlerSessionStopped()
{
    m_run.HandlerSessionStopped();
}
