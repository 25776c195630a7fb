// The stand-ins' common dispatch: stored properties, refusals and name lookup.

#include "TestEngineControl.h"

#include "engine/ManualHdlControl.h"
#include "platform/AutomationError.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace {

qint32 ErrorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.Source(), QStringLiteral("QXPGMRLib.QXPgmr"));
        return e.Number();
    }
    return 0;
}

TEST(DispatchObjectTest, PlainPropertiesKeepWhatWasPutAndStartAtTheirTypesDefault)
{
    TestEngineControl engine;
    const struct
    {
        int dispid;
        QVariant initial;
        QVariant put;
        QVariant stored;
    } cases[] = {
        {QXPgmrId::SilentMode, qint32(0), true, qint32(-1)},      // Booleans become -1/0
        {QXPgmrId::SilentMode, qint32(0), qint32(1), qint32(-1)}, // any non-zero is True
        {QXPgmrId::ByteOrder, qint32(0), QStringLiteral("12"), qint32(12)},
        {QXPgmrId::DisplayRadix, qint32(0), 2.5, qint32(2)}, // rounds to even
        {QXPgmrId::SecureSpecialOption, qint32(0), qint32(-7), QVariant::fromValue(qint16(-7))},
        {QXPgmrId::JobFlag72, 0.0, qint32(3), 3.0},
        {QXPgmrId::SoftwareVersion, QString(), qint32(5), QStringLiteral("5")},
    };
    for (const auto& c : cases) {
        TestEngineControl fresh;
        IDispatchControl& control = fresh;
        const MemberInfo* m = FindMember(QXPgmrControl::Members(), c.dispid);
        ASSERT_NE(m, nullptr);
        if (m->kind != MemberKind::Put) {
            EXPECT_EQ(control.Get(c.dispid), c.initial) << m->name;
        }
        control.Put(c.dispid, c.put);
        EXPECT_EQ(fresh.Stored(c.dispid), c.stored) << m->name;
        EXPECT_EQ(fresh.Stored(c.dispid).typeId(), c.stored.typeId()) << m->name;
    }
    // Indexed reads of unset entries give the default.
    QVariantList index{qint32(3)};
    EXPECT_EQ(static_cast<IDispatchControl&>(engine).Get(QXPgmrId::ModelNameAt, index), QVariant(QString()));
}

TEST(DispatchObjectTest, AnswersOnlyWhatTheControlDeclares)
{
    TestEngineControl engine(TestEngineControl::OnlyDeclared);
    IDispatchControl& control = engine;
    engine.Stores({QXPgmrId::SilentMode});
    engine.Takes({QXPgmrId::SoftwareVersion, QXPgmrId::PrepareRun});
    engine.NotSimulated(QXPgmrId::MonitorValue1005, QStringLiteral("nothing reads it here"));

    control.Put(QXPgmrId::SilentMode, true);
    EXPECT_EQ(control.Get(QXPgmrId::SilentMode), QVariant(qint32(-1)));
    EXPECT_NO_THROW(control.Put(QXPgmrId::SoftwareVersion, QStringLiteral("1.0.0")));
    QVariantList none;
    EXPECT_EQ(control.Call(QXPgmrId::PrepareRun, none), QVariant());
    // Left out: the default, and the same on every later read.
    EXPECT_EQ(control.Get(QXPgmrId::MonitorValue1005), QVariant(QString()));
    EXPECT_EQ(control.Get(QXPgmrId::MonitorValue1005), QVariant(QString()));

    // Anything else is refused, naming the member, as a get, a put or a call.
    const auto refusal = [&](const std::function<void()>& call) {
        try {
            call();
        } catch (const AutomationError& e) {
            EXPECT_EQ(e.Number(), DispatchObject::DISP_E_MEMBERNOTFOUND);
            return e.Description();
        }
        return QStringLiteral("answered");
    };
    QVariantList db{QStringLiteral("qxalg.db")};
    EXPECT_EQ(refusal([&] { control.Call(QXPgmrId::LoadAlgorithmDatabase, db); }),
              QStringLiteral("Member not found: LoadAlgorithmDatabase."));
    EXPECT_EQ(refusal([&] { control.Get(QXPgmrId::ByteOrder); }), QStringLiteral("Member not found: ByteOrder."));
    EXPECT_EQ(refusal([&] { control.Put(QXPgmrId::ByteOrder, qint32(1)); }),
              QStringLiteral("Member not found: ByteOrder."));

    EXPECT_EQ(engine.MemberDeclaration(QXPgmrId::SilentMode).how, DispatchObject::Declared::Stored);
    EXPECT_EQ(engine.MemberDeclaration(QXPgmrId::MonitorValue1005).reason, QStringLiteral("nothing reads it here"));
    EXPECT_EQ(engine.MemberDeclaration(QXPgmrId::ByteOrder).how, DispatchObject::Declared::Nothing);
}

TEST(DispatchObjectTest, DeclarationsThatContradictEachOtherAreProgrammingErrors)
{
    TestEngineControl engine(TestEngineControl::OnlyDeclared);
    // A getter cannot be taken without an answer, a method is no stored
    // property, and a reason is needed.
    EXPECT_THROW(engine.Takes({QXPgmrId::DeviceName}), std::logic_error);
    EXPECT_THROW(engine.Stores({QXPgmrId::PrepareRun}), std::logic_error);
    EXPECT_THROW(engine.NotSimulated(QXPgmrId::DeviceName, QStringLiteral(" ")), std::logic_error);
    engine.On(QXPgmrId::DeviceName, [](InvokeKind, QVariantList&) { return QVariant(QStringLiteral("x")); });
    EXPECT_THROW(engine.NotSimulated(QXPgmrId::DeviceName, QStringLiteral("why")), std::logic_error);

    // An event must be declared raised before it is raised.
    QVariantList text{QStringLiteral("hello")};
    EXPECT_THROW(engine.Raise(QStringLiteral("StatusTextReported"), text), std::logic_error);
    engine.Raises({"StatusTextReported"});
    EXPECT_NO_THROW(engine.Raise(QStringLiteral("StatusTextReported"), text));
    EXPECT_THROW(engine.Raises({"NoSuchEvent"}), std::logic_error);
}

TEST(DispatchObjectTest, RefusesWhatAutomationRefuses)
{
    TestEngineControl engine;
    IDispatchControl& control = engine;
    QVariantList none;
    EXPECT_EQ(ErrorOf([&] { control.Invoke(4999, InvokeKind::Method, none); }), DispatchObject::DISP_E_MEMBERNOTFOUND);
    // An event's position is no member number.
    EXPECT_EQ(ErrorOf([&] { control.Invoke(77, InvokeKind::Method, none); }), DispatchObject::DISP_E_MEMBERNOTFOUND);
    // A read-only property takes no put, a write-only one gives nothing back.
    EXPECT_EQ(ErrorOf([&] { control.Put(QXPgmrId::EngineDirectory, QStringLiteral("/tmp")); }),
              DispatchObject::DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(ErrorOf([&] { control.Get(QXPgmrId::VexalCommandLine); }), DispatchObject::DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(ErrorOf([&] { control.Invoke(QXPgmrId::SilentMode, InvokeKind::PropertyPut, none); }),
              DispatchObject::DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(ErrorOf([&] { control.Put(QXPgmrId::ByteOrder, QStringLiteral("abc")); }),
              DispatchObject::DISP_E_TYPEMISMATCH);
    EXPECT_EQ(ErrorOf([&] { control.Put(QXPgmrId::SecureSpecialOption, qint32(40000)); }),
              DispatchObject::DISP_E_OVERFLOW);
    // A refused put leaves the old value.
    control.Put(QXPgmrId::ByteOrder, qint32(4));
    ErrorOf([&] { control.Put(QXPgmrId::ByteOrder, QStringLiteral("x")); });
    EXPECT_EQ(control.Get(QXPgmrId::ByteOrder).toInt(), 4);

    try {
        control.Get(4999);
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.Description(), QStringLiteral("Member not found."));
    }
}

TEST(DispatchObjectTest, NamesResolveIgnoringCaseToPropertiesAndMethodsOnly)
{
    TestEngineControl engine;
    EXPECT_EQ(engine.GetIDOfName(QStringLiteral("SilentMode")), 320);
    EXPECT_EQ(engine.GetIDOfName(QStringLiteral("silentmode")), 320);
    EXPECT_EQ(engine.GetIDOfName(QStringLiteral("DeviceVectorSeed")), 5007);
    EXPECT_EQ(engine.GetIDOfName(QStringLiteral("RefreshGuiSecure")), -1); // an event
    EXPECT_EQ(engine.GetIDOfName(QStringLiteral("NoSuchMember")), -1);

    // The manual handler's AbortSession is a method (1001) and an event (18).
    const MemberTable manual = ManualHdlControl::Members();
    EXPECT_EQ(FindMember(manual, QStringLiteral("AbortSession"))->dispid, 1001);
    EXPECT_EQ(FindMember(manual, 18, true)->name, std::string("AbortSession"));
    EXPECT_TRUE(ManualHdlControl::EventNames().contains(QStringLiteral("AbortSession")));
}

TEST(DispatchObjectTest, SharedValuesAreOneSetting)
{
    TestEngineControl engine;
    IDispatchControl& control = engine;
    engine.ShareValue(QXPgmrId::DeviceVectorSeed, QXPgmrId::VectorSeed);
    control.Put(QXPgmrId::DeviceVectorSeed, qint32(1234));
    EXPECT_EQ(control.Get(QXPgmrId::VectorSeed).toInt(), 1234);
    control.Put(QXPgmrId::VectorSeed, qint32(77));
    EXPECT_EQ(control.Get(QXPgmrId::DeviceVectorSeed).toInt(), 77);
}

} // namespace
