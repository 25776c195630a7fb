#pragma once

// The device automation arbiter's events, as the automation layer handles
// them: a socket ready to pick or to be placed shows on the operation window
// (status 6 or 7, and from there to the client's NotifySocketStatusChanged);
// the begin-on-partial-sites flag is read and reset.

#include "engine/ManualHdlDeviceArbiterControl.h"
#include "platform/Dispatch.h"

class DeviceArbiterEvents : public IEventSink, public ManualHdlDeviceArbiterEvents
{
public:
    void Fire(const QString& eventName, QVariantList& args) override { Dispatch(*this, eventName, args); }

    void DeviceAutomationArbiter_DeviceReadyToPick(qint32 site) override;
    void DeviceAutomationArbiter_DeviceReadyToPlace(qint32 site) override;
    void DeviceAutomationArbiter_GotBeginPartials(bool& flag) override;
    void DeviceAutomationArbiter_ResetBeginPartialsFlag() override;
};
