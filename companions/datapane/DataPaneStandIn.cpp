#include "DataPaneStandIn.h"

#include "engine/DataPaneControl.h"

#include <QFrame>

DataPaneStandIn::DataPaneStandIn()
    : DispatchObject(QString::fromLatin1(DataPaneControl::ClassName), DataPaneControl::Members())
{
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
