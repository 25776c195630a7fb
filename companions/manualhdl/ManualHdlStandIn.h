#pragma once

// The simulated concurrent manual handler, class "MANUALHDLLib.ManualHdl".
// Members without behaviour of their own are stored properties.

#include "platform/DispatchObject.h"

class ManualHdlStandIn : public DispatchObject
{
public:
    ManualHdlStandIn();

private:
    qint64 m_hostWindowHandle = 0;
};
