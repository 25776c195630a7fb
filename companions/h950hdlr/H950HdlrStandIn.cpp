#include "H950HdlrStandIn.h"

#include "engine/H950HdlrControl.h"

H950HdlrStandIn::H950HdlrStandIn()
    : DispatchObject(QString::fromLatin1(H950HdlrControl::ClassName), H950HdlrControl::Members())
{
    // The simulated handler family offers both automatic handler types.
    Store(H950HdlrId::HandlerModelFamily, VbBool(true));
}
