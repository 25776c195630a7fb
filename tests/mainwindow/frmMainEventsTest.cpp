// The main window's engine-event handlers, reached as the engine reaches
// them: an engine raises a typed event to the window's sink.
#include "StationTest.h"
#include "../engine/TestEngineControl.h"
#include "mainwindow/frmMain.h"
#include "shell/StartUp.h"

namespace {

using frmMainEventsTest = StationTest;

TEST_F(frmMainEventsTest, WarningSwitchIsHandedBackToTheEngine)
{
    ASSERT_TRUE(StartApplication());
    TestEngineControl engine;
    engine.SetEventSink(gMainForm);

    for (const bool enabled : {false, true}) {
        gMainForm->EnablePgmrWarningMessage(enabled);
        bool flag = !enabled;
        engine.RaiseEvent.PgmrWarningMessagesEnabled(flag);
        EXPECT_EQ(flag, enabled);
    }

    // A name the engine's table does not have reaches no handler.
    gMainForm->EnablePgmrWarningMessage(false);
    QVariantList args{VbBool(true)};
    gMainForm->Fire(QStringLiteral("PgmrWarningMessageEnabled"), args);
    EXPECT_EQ(args, QVariantList{VbBool(true)});
    engine.SetEventSink(nullptr);
}

} // namespace
