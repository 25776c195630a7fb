#pragma once

#include "platform/Dispatch.h"

#include <QWidget>
#include <memory>

class Station;

// The hidden host window of the automatic-handler control: it creates the
// control and forwards the handler's events to the operation window.
class frmH950HdlrContainer : public QWidget, public IEventSink
{
    Q_OBJECT
public:
    explicit frmH950HdlrContainer(Station& station, QWidget* parent = nullptr);
    ~frmH950HdlrContainer() override;

    // Creates the handler control by its class name (throws AutomationError).
    std::unique_ptr<IDispatchControl> CreateHandler();

    void Fire(const QString& eventName, QVariantList& args) override;

private:
    Station& m_station;
};
