// No include guard: included before a member-table .def file inside an enum,
// so that each property and method name is its dispatch number. Events are
// left out (they are bound by name, and a name may be both an event and a
// method). engine/MemberMacrosEnd.h undoes it.
#define TARVO_GET(name, id, vt) name = id,
#define TARVO_PUT(name, id, vt) name = id,
#define TARVO_GETPUT(name, id, vt) name = id,
#define TARVO_GETPUT_AT(name, id, vt) name = id,
#define TARVO_METHOD(name, id, vt) name = id,
#define TARVO_ALIAS(name, member) name = member,
#define TARVO_EVENT(name, position, ...)
