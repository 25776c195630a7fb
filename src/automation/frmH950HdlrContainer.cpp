#include "frmH950HdlrContainer.h"

#include "engine/H950HdlrControl.h"
#include "platform/Companion.h"

frmH950HdlrContainer::frmH950HdlrContainer(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmH950HdlrContainer"));
    hide();
}

frmH950HdlrContainer::~frmH950HdlrContainer() = default;

std::unique_ptr<IDispatchControl> frmH950HdlrContainer::CreateHandler()
{
    auto control = companion::CreateControl(QString::fromLatin1(H950HdlrControl::ClassName));
    control->SetEventSink(this);
    return control;
}

void frmH950HdlrContainer::Fire(const QString& eventName, QVariantList& args)
{
    Q_UNUSED(eventName);
    Q_UNUSED(args);
}
