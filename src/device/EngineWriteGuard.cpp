#include "EngineWriteGuard.h"

#include "mainwindow/BlackBoxLog.h"
#include "platform/AutomationError.h"
#include "platform/UiService.h"

EngineWriteGuard::EngineWriteGuard(QString what)
    : m_what(std::move(what))
{
}

bool EngineWriteGuard::Run(const std::function<void()>& writes)
{
    m_undo.clear();
    QString error;
    try {
        writes();
        return true;
    } catch (const AutomationError& e) {
        error = e.Description();
    } catch (const std::exception& e) {
        error = QString::fromLocal8Bit(e.what());
    }
    // Put back what was written; a put-back that fails too leaves the rest
    // still to be tried.
    for (auto it = m_undo.rbegin(); it != m_undo.rend(); ++it) {
        try {
            (*it)();
        } catch (const std::exception&) {
        }
    }
    m_undo.clear();
    WriteLogInfo(m_what + QStringLiteral(" failed, nothing changed: ") + error, true);
    Ui().MsgBox(error, vb::vbOKOnly | vb::vbCritical, QStringLiteral("Error"));
    return false;
}
