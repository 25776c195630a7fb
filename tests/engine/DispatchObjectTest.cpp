// The stand-ins' common dispatch: stored properties, refusals and name lookup.

#include "TestEngineControl.h"

#include "engine/ManualHdlControl.h"
#include "platform/AutomationError.h"

#include <gtest/gtest.h>

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
    const struct { int dispid; QVariant initial; QVariant put; QVariant stored; } cases[] = {
        {QXPgmrId::SilentMode, qint32(0), true, qint32(-1)},          // Booleans become -1/0
        {QXPgmrId::SilentMode, qint32(0), qint32(1), qint32(-1)},     // any non-zero is True
        {QXPgmrId::ByteOrder, qint32(0), QStringLiteral("12"), qint32(12)},
        {QXPgmrId::DisplayRadix, qint32(0), 2.5, qint32(2)},          // rounds to even
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
    // Indexed reads of unset entries give the default; methods answer theirs.
    QVariantList index{qint32(3)};
    EXPECT_EQ(static_cast<IDispatchControl&>(engine).Get(QXPgmrId::ModelNameAt, index), QVariant(QString()));
    QVariantList args{QStringLiteral("qxalg.db")};
    EXPECT_EQ(static_cast<IDispatchControl&>(engine).Call(QXPgmrId::LoadAlgorithmDatabase, args), QVariant(qint32(0)));
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
