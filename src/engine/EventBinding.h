#pragma once

// Typed events of the outside controls. An event row of a member table names
// its arguments with their types, for example
//   TARVO_EVENT(SealbookModeChanged, 39, (Bool, supervisor), (Bool&, refused))
// where "&" marks an argument the host hands a value back through. From the
// rows come, per control (engine/ControlBinding.h):
//   - a sink base with one virtual handler per event, named as the host names
//     it (QXProgrammer_SealbookModeChanged(bool supervisor, bool& refused)),
//     and its name -> handler table;
//   - raisers for the stand-ins (RaiseEvent.SealbookModeChanged(true, refused)),
//     so that a misspelt event or an argument of the wrong type does not build.
// On the wire an event stays a name and a QVariantList; the helpers here
// convert between the two sides and write changed by-reference values back.

#include "engine/VbValue.h"

#include <QStringList>
#include <QVariantList>
#include <cstddef>
#include <functional>
#include <tuple>
#include <type_traits>
#include <utility>

// The argument types an event row may name. A trailing "&" (Long&) marks a
// by-reference argument.
namespace evarg {
struct Bool { using type = bool; };
struct Int { using type = qint16; };
struct Long { using type = qint32; };
struct Double { using type = double; };
struct String { using type = QString; };
struct Date { using type = QDateTime; };
struct Variant { using type = QVariant; };
struct Object { using type = QVariant; };
struct StringArray { using type = QStringList; };
} // namespace evarg

namespace events {

// The C++ parameter of a handler or raiser: by value (strings and lists as
// const references), or a reference the handler may change.
template <class Tag> struct Param
{
    using value = typename Tag::type;
    using type = std::conditional_t<std::is_arithmetic_v<value>, value, const value&>;
};
template <class Tag> struct Param<Tag&>
{
    using type = typename Tag::type&;
};

// An event argument on the wire and back: the call arguments' rules, and
// string lists (arrays of strings) as lists.
template <class T> QVariant ToEventWire(const T& value)
{
    if constexpr (std::is_same_v<T, QStringList>)
        return QVariant(value);
    else
        return ::ToWire(value);
}

template <class T> T FromEventWire(const QVariant& v)
{
    if constexpr (std::is_same_v<T, QStringList>)
        return v.toStringList();
    else
        return ::FromWire<T>(v);
}

using RaiseFunction = std::function<void(const QString& eventName, QVariantList& args)>;

// Raises an event with typed arguments; values the host changed come back
// into the caller's by-reference arguments.
template <class... A> void Raise(const RaiseFunction& raise, const char* name, A&... args)
{
    QVariantList wire{ToEventWire(args)...};
    if constexpr (sizeof...(A) == 0) {
        raise(QLatin1String(name), wire);
    } else {
        const QVariantList sent = wire;
        raise(QLatin1String(name), wire);
        qsizetype i = 0;
        const auto handBack = [&](auto& arg) {
            using T = std::remove_reference_t<decltype(arg)>;
            if constexpr (!std::is_const_v<T>) {
                if (i < wire.size() && wire[i] != sent[i])
                    arg = FromEventWire<T>(wire[i]);
            }
            ++i;
        };
        (handBack(args), ...);
    }
}

// Calls a typed handler with the arguments of an event raised by name and
// writes the by-reference values it changed back into the list. A list of
// another length is not this event: nothing is called and False comes back.
template <class C, class... P> bool Call(C& sink, void (C::*handler)(P...), QVariantList& args)
{
    if (args.size() != qsizetype(sizeof...(P)))
        return false;
    if constexpr (sizeof...(P) == 0) {
        (sink.*handler)();
    } else {
        [&]<std::size_t... I>(std::index_sequence<I...>) {
            std::tuple<std::decay_t<P>...> values{FromEventWire<std::decay_t<P>>(args[I])...};
            const auto before = values;
            (sink.*handler)(std::get<I>(values)...);
            const auto handBack = [&](auto& value, const auto& old, qsizetype i, bool byRef) {
                if (byRef && value != old)
                    args[i] = ToEventWire(value);
            };
            (handBack(std::get<I>(values), std::get<I>(before), qsizetype(I),
                      std::is_lvalue_reference_v<P> && !std::is_const_v<std::remove_reference_t<P>>),
             ...);
        }(std::index_sequence_for<P...>{});
    }
    return true;
}

// A control's event sink that hands each event to the typed handlers of one
// sink base (Events is a generated sink base, for example QXPgmrEvents).
template <class Events> class BoundSink : public IEventSink
{
public:
    explicit BoundSink(Events& handlers) : m_handlers(handlers) {}
    void Fire(const QString& eventName, QVariantList& args) override { Events::Dispatch(m_handlers, eventName, args); }

private:
    Events& m_handlers;
};

} // namespace events

// Preprocessor helpers for the event rows: TARVO_PP_MAP(m, (T1, a), (T2, b))
// gives "m(T1, a), m(T2, b)" (up to eight arguments, the most an event has).
#define TARVO_PP_CAT(a, b) TARVO_PP_CAT_(a, b)
#define TARVO_PP_CAT_(a, b) a##b
#define TARVO_PP_COUNT(...) TARVO_PP_COUNT_(__VA_ARGS__ __VA_OPT__(, ) 8, 7, 6, 5, 4, 3, 2, 1, 0)
#define TARVO_PP_COUNT_(_1, _2, _3, _4, _5, _6, _7, _8, n, ...) n
#define TARVO_PP_MAP(m, ...) TARVO_PP_CAT(TARVO_PP_MAP_, TARVO_PP_COUNT(__VA_ARGS__))(m __VA_OPT__(, ) __VA_ARGS__)
#define TARVO_PP_MAP_0(m)
#define TARVO_PP_MAP_1(m, a) m a
#define TARVO_PP_MAP_2(m, a, ...) m a, TARVO_PP_MAP_1(m, __VA_ARGS__)
#define TARVO_PP_MAP_3(m, a, ...) m a, TARVO_PP_MAP_2(m, __VA_ARGS__)
#define TARVO_PP_MAP_4(m, a, ...) m a, TARVO_PP_MAP_3(m, __VA_ARGS__)
#define TARVO_PP_MAP_5(m, a, ...) m a, TARVO_PP_MAP_4(m, __VA_ARGS__)
#define TARVO_PP_MAP_6(m, a, ...) m a, TARVO_PP_MAP_5(m, __VA_ARGS__)
#define TARVO_PP_MAP_7(m, a, ...) m a, TARVO_PP_MAP_6(m, __VA_ARGS__)
#define TARVO_PP_MAP_8(m, a, ...) m a, TARVO_PP_MAP_7(m, __VA_ARGS__)
// One event argument (type, name) as a parameter, and as its name alone.
#define TARVO_EVENT_PARAM(kind, argument) typename events::Param<evarg::kind>::type argument
#define TARVO_EVENT_ARG(kind, argument) argument
