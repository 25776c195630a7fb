// No include guard: included once per outside control, by the control's
// header, after it has named the control:
//
//   #define TARVO_CONTROL QXPgmr                       (prefix of the names below)
//   #define TARVO_CONTROL_HOST QXProgrammer            (the host's name for it)
//   #define TARVO_CONTROL_CLASS_NAME "QXPGMRLib.QXPgmr"
//   #define TARVO_CONTROL_MEMBERS "engine/QXPgmrMembers.def"
//   #include "engine/ControlBinding.h"
//
// From the member table it declares:
//   QXPgmrId            the dispatch number of each property and method
//   QXPgmrControl       the typed accessor (QXProgrammer.SilentMode() reads 320)
//   QXPgmrEvents        the sink base: one virtual handler per event, named as
//                       the host names it (QXProgrammer_OperationProgress),
//                       doing nothing unless overridden; Dispatch() hands an
//                       event raised by name to its handler
//   QXPgmrEventRaisers  the typed raisers a stand-in raises its events with
// The control's .cpp defines the tables (engine/ControlBindingTables.h).
// The inputs are undefined again at the end.

#include "engine/ControlAccessor.h"
#include "engine/EventBinding.h"

#include <QStringList>

#define TARVO_BINDING_NAME(suffix) TARVO_PP_CAT(TARVO_CONTROL, suffix)
#define TARVO_BINDING_HANDLER(event) TARVO_PP_CAT(TARVO_PP_CAT(TARVO_CONTROL_HOST, _), event)

namespace TARVO_BINDING_NAME(Id) {
#include "engine/MemberIdMacros.h"
enum : int {
#include TARVO_CONTROL_MEMBERS
};
#include "engine/MemberMacrosEnd.h"
} // namespace

class TARVO_BINDING_NAME(Control) : public ControlAccessor
{
public:
    static constexpr const char* ClassName = TARVO_CONTROL_CLASS_NAME;
    static MemberTable Members();
    // The events in table order; a host binds its handlers by these names.
    static const QStringList& EventNames();

#include "engine/MemberAccessorMacros.h"
#include TARVO_CONTROL_MEMBERS
#include "engine/MemberMacrosEnd.h"
};

#include "engine/MemberMacrosEventsOnly.h"

class TARVO_BINDING_NAME(Events)
{
public:
    virtual ~TARVO_BINDING_NAME(Events)() = default;

    // Runs the handler of an event raised by name, with the values it hands
    // back written into args. False when the control has no event of that
    // name (names are matched exactly) or args do not fit its arguments.
    static bool Dispatch(TARVO_BINDING_NAME(Events)& sink, const QString& eventName, QVariantList& args);

#define TARVO_EVENT(name, position, ...)                                                           \
    virtual void TARVO_BINDING_HANDLER(name)(TARVO_PP_MAP(TARVO_EVENT_PARAM, __VA_ARGS__)) {}
#include TARVO_CONTROL_MEMBERS
#undef TARVO_EVENT
};

class TARVO_BINDING_NAME(EventRaisers)
{
public:
    explicit TARVO_BINDING_NAME(EventRaisers)(events::RaiseFunction raise) : m_raise(std::move(raise)) {}

#define TARVO_EVENT(name, position, ...)                                                           \
    void name(TARVO_PP_MAP(TARVO_EVENT_PARAM, __VA_ARGS__))                                        \
    {                                                                                              \
        events::Raise(m_raise, #name __VA_OPT__(, TARVO_PP_MAP(TARVO_EVENT_ARG, __VA_ARGS__)));    \
    }
#include TARVO_CONTROL_MEMBERS
#include "engine/MemberMacrosEnd.h"

private:
    events::RaiseFunction m_raise;
};

#undef TARVO_BINDING_NAME
#undef TARVO_BINDING_HANDLER
#undef TARVO_CONTROL
#undef TARVO_CONTROL_HOST
#undef TARVO_CONTROL_CLASS_NAME
#undef TARVO_CONTROL_MEMBERS
