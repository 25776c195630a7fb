#pragma once

// Base of the three automation classes on the bus: answers a failed call with
// its error (a D-Bus error reply when the call came over the bus) and keeps
// the last one for callers in the same process.

#include "AutomationErrors.h"

#include <QDBusContext>
#include <QObject>
#include <optional>

class AutomationObject : public QObject, protected QDBusContext
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The error of the last call, none when it succeeded.
    const std::optional<automationerrors::BusError>& LastError() const { return m_lastError; }

protected:
    void BeginCall() { m_lastError.reset(); }
    void Fail(const automationerrors::BusError& error);

private:
    std::optional<automationerrors::BusError> m_lastError;
};
