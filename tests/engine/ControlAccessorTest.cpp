// The typed accessors over the companion ABI: by-reference values, VB
// Booleans, errors, late binding by name and events handed back.

#include "TestEngineControl.h"

#include "engine/ManualHdlControl.h"
#include "platform/AutomationError.h"

#include <gtest/gtest.h>
#include <functional>

namespace {

class ControlAccessorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto control = std::make_unique<TestEngineControl>();
        engine = control.get();
        QXProgrammer.Attach(std::move(control));
    }

    QXPgmrControl QXProgrammer;
    TestEngineControl* engine = nullptr;
};

TEST_F(ControlAccessorTest, ChangedByReferenceArgumentsComeBackIntoVariables)
{
    // IsOffsetInRange hands corrected bounds back through its arguments.
    engine->On(QXPgmrId::IsOffsetInRange, [](InvokeKind, QVariantList& args) {
        args[0] = 16;
        args[1] = 255;
        return VbBool(false);
    });
    qint32 low = 0, high = 1000, offset = 7;
    EXPECT_FALSE(QXProgrammer.IsOffsetInRange(low, high, offset));
    EXPECT_EQ(low, 16);
    EXPECT_EQ(high, 255);
    EXPECT_EQ(offset, 7); // unchanged by the control

    // SiteToSocket fills its out arguments; texts come back as well.
    engine->On(QXPgmrId::SiteToSocket, [](InvokeKind, QVariantList& args) {
        args[1] = qint32(args[0].toInt() / 4 + 1);
        args[2] = qint32(args[0].toInt() % 4);
        return QVariant();
    });
    qint32 site = 0, socket = 0;
    QXProgrammer.SiteToSocket(9, site, socket);
    EXPECT_EQ(site, 3);
    EXPECT_EQ(socket, 1);

    engine->On(QXPgmrId::IsValidHexText, [](InvokeKind, QVariantList& args) {
        args[0] = args[0].toString().toUpper();
        return VbBool(true);
    });
    QString text = QStringLiteral("ff0a");
    EXPECT_TRUE(QXProgrammer.IsValidHexText(text));
    EXPECT_EQ(text, QStringLiteral("FF0A"));
}

TEST_F(ControlAccessorTest, ConstantsAndTemporariesAreSentButNotWrittenTo)
{
    QVariantList seen;
    engine->On(QXPgmrId::IsOffsetInRange, [&](InvokeKind, QVariantList& args) {
        seen = args;
        for (QVariant& a : args)
            a = 99;
        return VbBool(true);
    });
    const qint32 low = 1;
    EXPECT_TRUE(QXProgrammer.IsOffsetInRange(low, 2, qint16(3)));
    EXPECT_EQ(low, 1);
    ASSERT_EQ(seen.size(), 3);
    EXPECT_EQ(seen[0].toInt(), 1);
    EXPECT_EQ(seen[1].toInt(), 2);
    EXPECT_EQ(seen[2].toInt(), 3);
}

TEST_F(ControlAccessorTest, BooleansAreMinusOneOnTheWireAndOnlyMinusOneIsTrue)
{
    QVariantList sent;
    engine->On(QXPgmrId::SetGuiReady, [&](InvokeKind, QVariantList& args) {
        sent = args;
        return QVariant();
    });
    QXProgrammer.SetGuiReady(true);
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0].typeId(), QMetaType::Int);
    EXPECT_EQ(sent[0].toInt(), -1);
    QXProgrammer.SetGuiReady(false);
    EXPECT_EQ(sent[0].toInt(), 0);

    // A put of a Boolean property sends -1 as well.
    QXProgrammer.SilentMode(true);
    EXPECT_EQ(engine->Stored(QXPgmrId::SilentMode), QVariant(qint32(-1)));

    // An answer of 1 (a C-style true) is not True; only -1 is.
    const struct { QVariant answer; bool expected; } answers[] = {
        {qint32(-1), true}, {qint32(1), false}, {qint32(0), false},
        {QVariant::fromValue(qint16(-1)), true}, {QVariant(), false},
    };
    for (const auto& a : answers) {
        engine->On(QXPgmrId::IsVexalMode, [&](InvokeKind, QVariantList&) { return a.answer; });
        EXPECT_EQ(QXProgrammer.IsVexalMode(), a.expected) << a.answer.toString().toStdString();
    }

    // A by-reference Boolean comes back by the same rule.
    engine->On(QXPgmrId::SealbookConfigure210, [](InvokeKind, QVariantList& args) {
        args[0] = qint32(1);
        args[2] = qint32(-1);
        return QVariant();
    });
    bool startInOperatorMode = true, enableMarkEditor = false;
    QXProgrammer.SealbookConfigure210(startInOperatorMode, QString(), enableMarkEditor);
    EXPECT_FALSE(startInOperatorMode);
    EXPECT_TRUE(enableMarkEditor);
}

TEST_F(ControlAccessorTest, ControlErrorsReachTheCallerWithNumberSourceAndText)
{
    engine->On(QXPgmrId::LoadAlgorithmDatabase, [this](InvokeKind, QVariantList&) -> QVariant {
        engine->Fail(0x80040113, QStringLiteral("Algorithm database is locked"));
    });
    try {
        QXProgrammer.LoadAlgorithmDatabase(QStringLiteral("qxalg.db"));
        FAIL() << "no error";
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.Number(), qint32(0x80040113));
        EXPECT_EQ(e.Source(), QStringLiteral("QXPGMRLib.QXPgmr"));
        EXPECT_EQ(e.Description(), QStringLiteral("Algorithm database is locked"));
    }
}

TEST_F(ControlAccessorTest, EveryKindOfCallFailsWithError91WhenNothingIsAttached)
{
    QXPgmrControl none;
    EXPECT_FALSE(none.IsAttached());
    EXPECT_EQ(none.Control(), nullptr);
    const std::function<void()> calls[] = {
        [&] { none.SilentMode(); },
        [&] { none.SilentMode(true); },
        [&] { none.LoadAlgorithmDatabase(QStringLiteral("qxalg.db")); },
        [&] { none.ModelNameAt(0); },
        [&] { none.GetByName(QStringLiteral("DeviceByteOrder")); },
        [&] { none.PutByName(QStringLiteral("DeviceByteOrder"), 1); },
    };
    for (const auto& call : calls) {
        try {
            call();
            ADD_FAILURE() << "no error";
        } catch (const AutomationError& e) {
            EXPECT_EQ(e.Number(), 91);
            EXPECT_EQ(e.Description(), QStringLiteral("Object variable or With block variable not set"));
        }
    }
    EXPECT_TRUE(QXProgrammer.IsAttached());
    auto taken = QXProgrammer.Detach();
    EXPECT_EQ(taken.get(), static_cast<IDispatchControl*>(engine));
    EXPECT_THROW(QXProgrammer.SilentMode(), AutomationError);
}

TEST_F(ControlAccessorTest, ByNameCallsResolveThroughTheControl)
{
    engine->ShareValue(QXPgmrId::DeviceByteOrder, QXPgmrId::ByteOrder);
    QXProgrammer.PutByName(QStringLiteral("DeviceByteOrder"), qint32(2));
    EXPECT_EQ(QXProgrammer.GetByName(QStringLiteral("devicebyteorder")).toInt(), 2);
    EXPECT_EQ(QXProgrammer.ByteOrder(), 2);

    try {
        QXProgrammer.GetByName(QStringLiteral("NoSuchSetting"));
        FAIL() << "no error";
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.Number(), 438);
        EXPECT_EQ(e.Description(), QStringLiteral("Object doesn't support this property or method"));
    }
}

TEST_F(ControlAccessorTest, AliasAndIndexedPropertiesUseTheirMembersNumber)
{
    engine->On(QXPgmrId::ExtraCommandCount, [](InvokeKind, QVariantList&) { return QVariant(qint32(3)); });
    EXPECT_EQ(QXProgrammer.ProgramVariantCount(), 3);
    EXPECT_EQ(QXProgrammer.ExtraCommandCount(), 3);

    QXProgrammer.CombinedEncryptDecrypt(qint16(1), qint16(-1));
    EXPECT_EQ(QXProgrammer.CombinedEncryptDecrypt(qint16(1)), -1);
    EXPECT_EQ(QXProgrammer.CombinedEncryptDecrypt(qint16(2)), 0);
}

class HandBackSink : public IEventSink
{
public:
    void Fire(const QString& eventName, QVariantList& args) override
    {
        fired << eventName;
        if (eventName == QLatin1String("SealbookModeChanged"))
            args[1] = VbBool(true);
        if (eventName == QLatin1String("RequestQuantity"))
            args[0] = qint32(250);
    }
    QStringList fired;
};

TEST_F(ControlAccessorTest, ValuesHandedBackByTheSinkReachTheControl)
{
    // The control raises inside its own call and acts on what came back.
    engine->On(QXPgmrId::RunOperation, [this](InvokeKind, QVariantList&) {
        QVariantList refused{VbBool(true), VbBool(false)};
        engine->Raise(QStringLiteral("SealbookModeChanged"), refused);
        QVariantList quantity{qint32(0)};
        engine->Raise(QStringLiteral("RequestQuantity"), quantity);
        return QVariant(qint32(IsVbTrue(refused[1]) ? quantity[0].toInt() : -1));
    });
    HandBackSink sink;
    QXProgrammer.Control()->SetEventSink(&sink);
    EXPECT_EQ(QXProgrammer.RunOperation(), 250);
    EXPECT_EQ(sink.fired, (QStringList{"SealbookModeChanged", "RequestQuantity"}));

    // Without a sink the arguments stay as the control set them.
    QXProgrammer.Control()->SetEventSink(nullptr);
    EXPECT_EQ(QXProgrammer.RunOperation(), -1);

    // An event that is not in the control's table is a fault of the control.
    QVariantList none;
    EXPECT_THROW(engine->Raise(QStringLiteral("NoSuchEvent"), none), std::logic_error);
}

} // namespace
