// The engine's events, typed from the event rows of its member table: a
// stand-in raises them with typed raisers, a host handles them in the
// virtuals of the generated sink base, and by-reference values travel back.

#include "TestEngineControl.h"

#include "engine/ManualHdlControl.h"
#include "platform/AutomationError.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace {

// A misspelt event, a value for a by-reference argument and an argument of
// the wrong type do not build; the well-formed calls do.
template <class R> constexpr bool RaisesWarningSwitch = requires(R r, bool flag) { r.PgmrWarningMessagesEnabled(flag); };
template <class R> constexpr bool RaisesMisspeltSwitch = requires(R r, bool flag) { r.PgmrWarningMessageEnabled(flag); };
template <class R> constexpr bool RaisesSwitchByValue = requires(R r) { r.PgmrWarningMessagesEnabled(true); };
template <class R> constexpr bool RaisesProgress = requires(R r) { r.OperationProgress(qint32(1), qint32(50)); };
template <class R> constexpr bool RaisesProgressAsText = requires(R r) { r.OperationProgress(QString(), qint32(50)); };
static_assert(RaisesWarningSwitch<QXPgmrEventRaisers>);
static_assert(!RaisesMisspeltSwitch<QXPgmrEventRaisers>);
static_assert(!RaisesSwitchByValue<QXPgmrEventRaisers>);
static_assert(RaisesProgress<QXPgmrEventRaisers>);
static_assert(!RaisesProgressAsText<QXPgmrEventRaisers>);

// Handlers are named as the host names them, with the row's types.
static_assert(std::is_same_v<decltype(&QXPgmrEvents::QXProgrammer_OperationProgress), void (QXPgmrEvents::*)(qint32, qint32)>);
static_assert(std::is_same_v<decltype(&QXPgmrEvents::QXProgrammer_SealbookModeChanged), void (QXPgmrEvents::*)(bool, bool&)>);
static_assert(std::is_same_v<decltype(&QXPgmrEvents::QXProgrammer_RequestDecoratedTabName),
                             void (QXPgmrEvents::*)(const QString&, QString&)>);
static_assert(std::is_same_v<decltype(&ManualHdlEvents::ConcurrentManualHandler_RepeatCommandRequest),
                             void (ManualHdlEvents::*)(qint32, qint32&)>);

// A host with a few handlers; the others keep the base's empty bodies.
class Host : public QXPgmrEvents
{
public:
    void QXProgrammer_SealbookModeChanged(bool supervisor, bool& refused) override
    {
        calls << QStringLiteral("SealbookModeChanged %1").arg(supervisor);
        refused = refuseSupervisor && supervisor;
    }
    void QXProgrammer_RequestQuantity(qint32& value) override
    {
        calls << QStringLiteral("RequestQuantity %1").arg(value);
        value = quantity;
    }
    void QXProgrammer_RequestDecoratedTabName(const QString& name, QString& decorated) override
    {
        calls << QStringLiteral("RequestDecoratedTabName ") + name;
        if (name == QLatin1String("Program"))
            decorated = QStringLiteral("&Program");
    }
    void QXProgrammer_OperationProgress(qint32 code, qint32 value) override
    {
        calls << QStringLiteral("OperationProgress %1 %2").arg(code).arg(value);
    }

    bool refuseSupervisor = true;
    qint32 quantity = 250;
    QStringList calls;
};

class TypedEventsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto control = std::make_unique<TestEngineControl>();
        engine = control.get();
        QXProgrammer.Attach(std::move(control));
        engine->SetEventSink(&sink);
    }

    TestEngineControl* engine = nullptr;
    QXPgmrControl QXProgrammer;
    Host host;
    events::BoundSink<QXPgmrEvents> sink{host};
};

TEST_F(TypedEventsTest, ValuesHandedBackReachTheRaisingEngine)
{
    // The engine raises inside its own call and acts on what came back.
    engine->On(QXPgmrId::RunOperation, [this](InvokeKind, QVariantList&) {
        bool refused = false;
        engine->RaiseEvent.SealbookModeChanged(true, refused);
        qint32 quantity = 0;
        engine->RaiseEvent.RequestQuantity(quantity);
        QString tab = QStringLiteral("Program");
        engine->RaiseEvent.RequestDecoratedTabName(QStringLiteral("Program"), tab);
        engine->RaiseEvent.OperationProgress(qint32(3), qint32(40));
        return QVariant(refused && tab == QLatin1String("&Program") ? quantity : qint32(-1));
    });
    EXPECT_EQ(QXProgrammer.RunOperation(), 250);
    EXPECT_EQ(host.calls, (QStringList{"SealbookModeChanged 1", "RequestQuantity 0",
                                       "RequestDecoratedTabName Program", "OperationProgress 3 40"}));

    // What the host answers is what the engine acts on.
    host.refuseSupervisor = false;
    host.quantity = 7;
    EXPECT_EQ(QXProgrammer.RunOperation(), -1);
}

TEST_F(TypedEventsTest, OnTheWireTheHandedBackValuesAreAutomationValues)
{
    // An event raised by name, as another engine raises it: the Boolean
    // comes back as True (-1); a value the handler did not change is left
    // exactly as the engine passed it.
    QVariantList refused{VbBool(true), qint32(1)};
    ASSERT_TRUE(QXPgmrEvents::Dispatch(host, QStringLiteral("SealbookModeChanged"), refused));
    EXPECT_EQ(refused.at(1).typeId(), QMetaType::Int);
    EXPECT_EQ(refused.at(1).toInt(), VbTrue);

    host.refuseSupervisor = false;
    QVariantList kept{VbBool(false), VbBool(false)};
    ASSERT_TRUE(QXPgmrEvents::Dispatch(host, QStringLiteral("SealbookModeChanged"), kept));
    EXPECT_EQ(kept, (QVariantList{VbBool(false), VbBool(false)}));

    QVariantList tab{QStringLiteral("Verify"), QStringLiteral("unchanged")};
    ASSERT_TRUE(QXPgmrEvents::Dispatch(host, QStringLiteral("RequestDecoratedTabName"), tab));
    EXPECT_EQ(tab.at(1).toString(), QStringLiteral("unchanged"));
}

TEST_F(TypedEventsTest, OnlyAnEventOfTheTableWithItsArgumentsIsDispatched)
{
    const struct { const char* what; const char* name; QVariantList args; } refused[] = {
        {"a misspelt name", "RequestQuantitiy", {qint32(0)}},
        {"another letter case", "requestquantity", {qint32(0)}},
        {"an event of another control", "RepeatCommandRequest", {qint32(1), qint32(0)}},
        {"a member that is no event", "SilentMode", {qint32(0)}},
        {"too few arguments", "OperationProgress", {qint32(3)}},
        {"too many arguments", "RequestQuantity", {qint32(0), qint32(0)}},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.what);
        QVariantList args = c.args;
        EXPECT_FALSE(QXPgmrEvents::Dispatch(host, QString::fromLatin1(c.name), args));
        EXPECT_EQ(args, c.args);
    }
    EXPECT_TRUE(host.calls.isEmpty()) << host.calls.join(QLatin1Char('\n')).toStdString();

    // An event without a handler of the host's own is taken by the base's
    // empty one; it hands nothing back.
    QVariantList value{qint32(5)};
    EXPECT_TRUE(QXPgmrEvents::Dispatch(host, QStringLiteral("RequestJobSetting26"), value));
    EXPECT_EQ(value, QVariantList{qint32(5)});
}

TEST_F(TypedEventsTest, EveryEventOfEachTableHasAHandler)
{
    // Raised by name with its own number of empty arguments, each event of
    // the table reaches the sink base.
    const auto arity = [](const MemberInfo& m) {
        const QString args = QString::fromLatin1(m.eventArgs);
        return args.isEmpty() ? 0 : int(args.count(QLatin1Char('(')));
    };
    QXPgmrEvents engineSink;
    for (const MemberInfo& m : QXPgmrControl::Members()) {
        if (m.kind != MemberKind::Event)
            continue;
        QVariantList args(arity(m));
        EXPECT_TRUE(QXPgmrEvents::Dispatch(engineSink, QString::fromLatin1(m.name), args)) << m.name;
    }
    ManualHdlEvents handlerSink;
    for (const MemberInfo& m : ManualHdlControl::Members()) {
        if (m.kind != MemberKind::Event)
            continue;
        QVariantList args(arity(m));
        EXPECT_TRUE(ManualHdlEvents::Dispatch(handlerSink, QString::fromLatin1(m.name), args)) << m.name;
    }
}

} // namespace
