#pragma once

// The buffer viewer control, class "DATAPANELib.DataPane": a widget on the
// main window, and ShowEditor, the modal editor of the engine's buffer (the
// process's one, in the buffer library) opened through the UI service.
//
//   HexDisplay   addresses in hexadecimal (True) or decimal
//   FuseMode     one 0 or 1 per byte: the buffer counts fuses
//   DataSize     the bytes shown; ShowEditor sets it to the buffer's size,
//                which the host reads back
//   ShowEditor   returns when the editor closes; the buffer takes the edits
//                only when it was confirmed with OK
// The other members are stored.

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
    void showEditor();

    QPointer<QWidget> m_widget;
};
