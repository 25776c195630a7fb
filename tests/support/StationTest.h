#pragma once

// The station started in this process, as the program starts it: the edition
// "Tarvo", the companion plug-ins from the build folder, no command line. The
// test calls StartApplication itself; teardown closes whatever main window it
// left and gives the single-instance lock back.

#include "TestEnv.h"

class StationTest : public TarvoTest
{
protected:
    void SetUp() override;
    void TearDown() override;
};
