#pragma once

// The site control, class "BAYCTRLLib.SiteBox": one box per site in the
// operation window. For now a plain panel; its members are stored properties.

#include "platform/DispatchObject.h"

#include <QPointer>

class BayCtrlStandIn : public DispatchObject
{
public:
    BayCtrlStandIn();
    ~BayCtrlStandIn() override;

    // Made on first request; the host takes it into its layout. Deleted with
    // the control unless its host deleted it first.
    QWidget* Widget() override;

private:
    QPointer<QWidget> m_widget;
};
