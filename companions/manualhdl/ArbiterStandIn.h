#pragma once

// One of the manual handler's two automation arbiters, the objects through
// which an automation client takes part in a session: the device arbiter
// (class "MANUALHDLLib.DeviceAutomationArbiter", handed to the host with the
// handler's event SetDeviceAutomationArbiter) and the socket arbiter (class
// "MANUALHDLLib.SocketAutomationArbiter", the handler's ThreadCommUtil).
//
// The host calls its methods (NotifyDevicePlaced, NotifySiteClosed, ...);
// each call is handed on, by member name with its arguments, to the session
// that listens. The session raises the arbiter's events (DeviceReadyToPlace,
// SiteReadyToClose, ...) to the sink the host installed. An arbiter is an
// object value: the host may keep it after the handler is gone, so it holds
// no reference to the handler, only the listener the handler sets and clears.

#include "platform/DispatchObject.h"

#include <functional>

class ArbiterStandIn : public DispatchObject
{
public:
    using Listener = std::function<void(const QString& member, const QVariantList& args)>;

    ArbiterStandIn(QString className, MemberTable members);

    void SetListener(Listener listener) { m_listener = std::move(listener); }
    // Someone binds the arbiter's events: a client can take part.
    bool Bound() const { return HasSink(); }
    void RaiseEventByName(const QString& eventName, QVariantList& args) { Raise(eventName, args); }

private:
    Listener m_listener;
};
