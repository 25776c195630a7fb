// No include guard: included once by the .cpp of an outside control, after
// its header, with the same names as there:
//
//   #include "engine/QXPgmrControl.h"
//   #define TARVO_CONTROL QXPgmr
//   #define TARVO_CONTROL_HOST QXProgrammer
//   #define TARVO_CONTROL_MEMBERS "engine/QXPgmrMembers.def"
//   #include "engine/ControlBindingTables.h"
//
// Defines the member table and the event name -> handler table declared by
// engine/ControlBinding.h. The inputs are undefined again at the end.

#include "engine/EventBinding.h"

#include <QHash>

#define TARVO_BINDING_NAME(suffix) TARVO_PP_CAT(TARVO_CONTROL, suffix)
#define TARVO_BINDING_HANDLER(event) TARVO_PP_CAT(TARVO_PP_CAT(TARVO_CONTROL_HOST, _), event)

namespace {
#include "engine/MemberRowMacros.h"
const MemberInfo TARVO_BINDING_NAME(Rows)[] = {
#include TARVO_CONTROL_MEMBERS
};
#include "engine/MemberMacrosEnd.h"
} // namespace

MemberTable TARVO_BINDING_NAME(Control)::Members()
{
    return TARVO_BINDING_NAME(Rows);
}

const QStringList& TARVO_BINDING_NAME(Control)::EventNames()
{
    static const QStringList names = ::EventNames(Members());
    return names;
}

bool TARVO_BINDING_NAME(Events)::Dispatch(TARVO_BINDING_NAME(Events)& sink, const QString& eventName, QVariantList& args)
{
    using Events = TARVO_BINDING_NAME(Events);
    using Handler = bool (*)(Events&, QVariantList&);
#include "engine/MemberMacrosEventsOnly.h"
#define TARVO_EVENT(name, position, ...)                                                           \
    {QStringLiteral(#name),                                                                        \
     [](Events& s, QVariantList& a) { return events::Call(s, &Events::TARVO_BINDING_HANDLER(name), a); }},
    static const QHash<QString, Handler> handlers{
#include TARVO_CONTROL_MEMBERS
    };
#include "engine/MemberMacrosEnd.h"
    const auto handler = handlers.constFind(eventName);
    return handler != handlers.constEnd() && (*handler)(sink, args);
}

#undef TARVO_BINDING_NAME
#undef TARVO_BINDING_HANDLER
#undef TARVO_CONTROL
#undef TARVO_CONTROL_HOST
#undef TARVO_CONTROL_MEMBERS
