// The main window's handlers of the engine's events. Each event reaches its
// handler through the engine's event table, so a handler is written once,
// typed, under the name the control's events are known by.

#include "mainwindow/frmMain.h"

void frmMain::Fire(const QString& eventName, QVariantList& args)
{
    // The manual handler and the buffer viewer raise their events here too;
    // none of theirs shares a name with an engine event, and those without a
    // handler yet are dropped.
    QXPgmrEvents::Dispatch(*this, eventName, args);
}

void frmMain::QXProgrammer_PgmrWarningMessagesEnabled(bool& flag)
{
    flag = bWarningMessagesEnabled;
}
