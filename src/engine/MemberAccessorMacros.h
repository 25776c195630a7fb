// No include guard: included inside an accessor class (derived from
// ControlAccessor) before its member-table .def file, so that every member
// becomes a typed member function, VB style:
//   get      T Name(args...)              (indexed reads take their arguments)
//   put      void Name(const T& value)
//   getput   both: Name() reads, Name(value) writes
//   getput_at  Name(index) reads, Name(index, value) writes
//   method   T Name(args...)              (changed by-reference values come back)
//   alias    a second name of a member
// engine/MemberMacrosEnd.h undoes it.
#define TARVO_GET(name, id, vt)                                                                    \
    template <class... A> VbType<ValueKind::vt> name(A&&... args)                                  \
    {                                                                                              \
        return getValue<ValueKind::vt>(id, std::forward<A>(args)...);                              \
    }
#define TARVO_PUT(name, id, vt)                                                                    \
    void name(const VbType<ValueKind::vt>& value) { putValue<ValueKind::vt>(id, value); }
#define TARVO_GETPUT(name, id, vt)                                                                 \
    VbType<ValueKind::vt> name() { return getValue<ValueKind::vt>(id); }                           \
    void name(const VbType<ValueKind::vt>& value) { putValue<ValueKind::vt>(id, value); }
#define TARVO_GETPUT_AT(name, id, vt)                                                              \
    template <class I> VbType<ValueKind::vt> name(I&& index)                                       \
    {                                                                                              \
        return getValue<ValueKind::vt>(id, std::forward<I>(index));                                \
    }                                                                                              \
    template <class I> void name(const I& index, const VbType<ValueKind::vt>& value)               \
    {                                                                                              \
        putValueAt<ValueKind::vt>(id, index, value);                                               \
    }
#define TARVO_METHOD(name, id, vt)                                                                 \
    template <class... A> VbType<ValueKind::vt> name(A&&... args)                                  \
    {                                                                                              \
        return callMethod<ValueKind::vt>(id, std::forward<A>(args)...);                            \
    }
#define TARVO_ALIAS(name, member)                                                                  \
    template <class... A> auto name(A&&... args) { return member(std::forward<A>(args)...); }
#define TARVO_EVENT(name, position, ...)
