#pragma once

// The buffer viewer control, class "DATAPANELib.DataPane": a widget on the
// main window. For now a plain panel; its members are stored properties.

#include "platform/DispatchObject.h"

#include <QPointer>

class DataPaneStandIn : public DispatchObject
{
public:
    DataPaneStandIn();
    ~DataPaneStandIn() override;

    // Made on first request; the host takes it into its layout. Deleted with
    // the control unless its host deleted it first.
    QWidget* Widget() override;

private:
    QPointer<QWidget> m_widget;
};
