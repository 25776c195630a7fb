// No include guard: included before a member-table .def file whose events
// alone are to become code; the includer defines TARVO_EVENT itself.
// engine/MemberMacrosEnd.h undoes it.
#define TARVO_GET(name, id, vt)
#define TARVO_PUT(name, id, vt)
#define TARVO_GETPUT(name, id, vt)
#define TARVO_GETPUT_AT(name, id, vt)
#define TARVO_METHOD(name, id, vt)
#define TARVO_ALIAS(name, member)
