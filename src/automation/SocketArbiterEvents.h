#pragma once

// The socket automation arbiter's events, as the automation layer handles
// them: a socket to close or open goes to the attached CQxProgrammer as
// NotifyCloseSite / NotifyOpenSite, in the client's numbers as they come.

#include "engine/ManualHdlSocketArbiterControl.h"
#include "platform/Dispatch.h"

class SocketArbiterEvents : public IEventSink, public ManualHdlSocketArbiterEvents
{
public:
    void Fire(const QString& eventName, QVariantList& args) override { Dispatch(*this, eventName, args); }

    void SocketAutomationArbiter_SiteReadyToClose(qint32 site) override;
    void SocketAutomationArbiter_SiteReadyToOpen(qint32 site) override;
};
