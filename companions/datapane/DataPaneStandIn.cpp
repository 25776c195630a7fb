#include "DataPaneStandIn.h"

#include "BufferEditor.h"

#include "engine/DataPaneControl.h"
#include "platform/UiService.h"
#include "qxbuffer/DataBuffer.h"

#include <QFrame>

DataPaneStandIn::DataPaneStandIn()
    : DispatchObject(QString::fromLatin1(DataPaneControl::ClassName), DataPaneControl::Members())
{
    // The viewer's settings are kept as the host puts them; the editor reads
    // the display ones. The blank-bit value changes nothing in a view of bytes.
    Stores({DataPaneId::HexDisplay, DataPaneId::DataSize, DataPaneId::FillByte, DataPaneId::ViewerSetting6,
            DataPaneId::FuseMode, DataPaneId::FuseCount});
    Takes({DataPaneId::SetBlankBitValue});
    On(DataPaneId::ShowEditor, [this](InvokeKind, QVariantList&) {
        showEditor();
        return QVariant();
    });
}

DataPaneStandIn::~DataPaneStandIn()
{
    delete m_widget.data();
}

QWidget* DataPaneStandIn::Widget()
{
    if (!m_widget) {
        auto* frame = new QFrame;
        frame->setObjectName(QStringLiteral("DataPane"));
        frame->setFrameShape(QFrame::StyledPanel);
        m_widget = frame;
    }
    return m_widget;
}

void DataPaneStandIn::showEditor()
{
    DataBuffer& buffer = DataBuffer::Instance();
    BufferEditor editor(buffer, IsVbTrue(Stored(DataPaneId::HexDisplay)), IsVbTrue(Stored(DataPaneId::FuseMode)),
                        m_widget ? m_widget->window() : nullptr);
    if (Ui().ShowModal(&editor) == QDialog::Accepted)
        editor.Commit();
    // What was shown, for the host to read back.
    Store(DataPaneId::DataSize, qint32(std::min<qint64>(buffer.Size(), 0x7FFFFFFF)));
}
