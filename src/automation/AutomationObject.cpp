#include "AutomationObject.h"

void AutomationObject::Fail(const automationerrors::BusError& error)
{
    m_lastError = error;
    if (calledFromDBus())
        sendErrorReply(error.name, error.message);
}
