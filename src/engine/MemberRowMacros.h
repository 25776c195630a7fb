// No include guard: included before each member-table .def file that is to
// become rows of a MemberInfo table. engine/MemberMacrosEnd.h undoes it.
#define TARVO_GET(name, id, vt) {#name, id, MemberKind::Get, ValueKind::vt},
#define TARVO_PUT(name, id, vt) {#name, id, MemberKind::Put, ValueKind::vt},
#define TARVO_GETPUT(name, id, vt) {#name, id, MemberKind::GetPut, ValueKind::vt},
#define TARVO_GETPUT_AT(name, id, vt) {#name, id, MemberKind::GetPut, ValueKind::vt},
#define TARVO_METHOD(name, id, vt) {#name, id, MemberKind::Method, ValueKind::vt},
#define TARVO_ALIAS(name, member)
#define TARVO_EVENT(name, position, ...) {#name, position, MemberKind::Event, ValueKind::Void, #__VA_ARGS__},
