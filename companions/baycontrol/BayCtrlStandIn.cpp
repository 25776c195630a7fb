#include "BayCtrlStandIn.h"

#include "engine/SiteBoxControl.h"

#include <QFrame>

BayCtrlStandIn::BayCtrlStandIn()
    : DispatchObject(QString::fromLatin1(SiteBoxControl::ClassName), SiteBoxControl::Members())
{
}

BayCtrlStandIn::~BayCtrlStandIn()
{
    delete m_widget.data();
}

QWidget* BayCtrlStandIn::Widget()
{
    if (!m_widget) {
        auto* frame = new QFrame;
        frame->setObjectName(QStringLiteral("SiteBox"));
        frame->setFrameShape(QFrame::Box);
        m_widget = frame;
    }
    return m_widget;
}
