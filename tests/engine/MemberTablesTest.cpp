// The member tables are kept by hand: numbers must stay unique within a
// control, and the numbers the program is built around must stay put.

#include "engine/DataPaneControl.h"
#include "engine/H950HdlrControl.h"
#include "engine/ManualHdlControl.h"
#include "engine/ManualHdlDeviceArbiterControl.h"
#include "engine/ManualHdlSocketArbiterControl.h"
#include "engine/QXPgmrControl.h"
#include "engine/SiteBoxControl.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

struct Table
{
    const char* control;
    MemberTable members;
    const QStringList& events;
};

const Table kTables[] = {
    {"QXProgrammer", QXPgmrControl::Members(), QXPgmrControl::EventNames()},
    {"ConcurrentManualHandler", ManualHdlControl::Members(), ManualHdlControl::EventNames()},
    {"device arbiter", ManualHdlDeviceArbiterControl::Members(), ManualHdlDeviceArbiterControl::EventNames()},
    {"socket arbiter", ManualHdlSocketArbiterControl::Members(), ManualHdlSocketArbiterControl::EventNames()},
    {"QXH950AutoHandler", H950HdlrControl::Members(), H950HdlrControl::EventNames()},
    {"vwBufViewer", DataPaneControl::Members(), DataPaneControl::EventNames()},
    {"SiteBox", SiteBoxControl::Members(), SiteBoxControl::EventNames()},
};

TEST(MemberTablesTest, NumbersAndNamesAreUniqueWithinEachControl)
{
    for (const Table& t : kTables) {
        QSet<int> ids, eventIds;
        QSet<QString> names, eventNames;
        QStringList events;
        for (const MemberInfo& m : t.members) {
            const QString name = QString::fromLatin1(m.name).toLower();
            if (m.kind == MemberKind::Event) {
                EXPECT_FALSE(eventIds.contains(m.dispid)) << t.control << " event " << m.name;
                EXPECT_FALSE(eventNames.contains(name)) << t.control << " event " << m.name;
                eventIds << m.dispid;
                eventNames << name;
                events << QString::fromLatin1(m.name);
            } else {
                EXPECT_FALSE(ids.contains(m.dispid)) << t.control << " " << m.name << " " << m.dispid;
                EXPECT_FALSE(names.contains(name)) << t.control << " " << m.name;
                EXPECT_GT(m.dispid, 0) << t.control << " " << m.name;
                ids << m.dispid;
                names << name;
            }
        }
        EXPECT_EQ(t.events, events) << t.control;
    }
}

TEST(MemberTablesTest, TheNumbersTheProgramIsBuiltAroundStayPut)
{
    const struct { MemberTable table; const char* name; int dispid; MemberKind kind; ValueKind type; } rows[] = {
        {QXPgmrControl::Members(), "SilentMode", 320, MemberKind::GetPut, ValueKind::Bool},
        {QXPgmrControl::Members(), "SetGuiReady", 319, MemberKind::Method, ValueKind::Void},
        {QXPgmrControl::Members(), "SetMainWindowHandle", 258, MemberKind::Method, ValueKind::Void},
        {QXPgmrControl::Members(), "VexalCommandLine", 143, MemberKind::Put, ValueKind::Bool},
        {QXPgmrControl::Members(), "EngineDirectory", 298, MemberKind::Get, ValueKind::String},
        {QXPgmrControl::Members(), "LabelPrinterDirectory", 299, MemberKind::Get, ValueKind::String},
        {QXPgmrControl::Members(), "LoadAlgorithmDatabase", 193, MemberKind::Method, ValueKind::Long},
        {QXPgmrControl::Members(), "ExtraCommandCount", 54, MemberKind::Get, ValueKind::Long},
        {QXPgmrControl::Members(), "IsVexalMode", 63, MemberKind::Get, ValueKind::Bool},
        {QXPgmrControl::Members(), "RefreshGuiSecure", 66, MemberKind::Event, ValueKind::Void},
        {ManualHdlControl::Members(), "SetHostWindowHandle", 1003, MemberKind::Method, ValueKind::Void},
        {ManualHdlControl::Members(), "RunConcurrentSession", 1000, MemberKind::Method, ValueKind::Long},
        {H950HdlrControl::Members(), "StartSession", 1003, MemberKind::Method, ValueKind::Void},
        {SiteBoxControl::Members(), "ShowPassed", 0x6003000F, MemberKind::Method, ValueKind::Void},
    };
    for (const auto& r : rows) {
        const MemberInfo* m = FindMember(r.table, QString::fromLatin1(r.name));
        ASSERT_NE(m, nullptr) << r.name;
        EXPECT_EQ(m->dispid, r.dispid) << r.name;
        EXPECT_EQ(m->kind, r.kind) << r.name;
        EXPECT_EQ(m->type, r.type) << r.name;
    }
    // The seven device settings kept by name have numbers of their own.
    for (const char* name : {"DeviceByteOrder", "DeviceDataSetWidth", "DeviceDataSetLength", "DeviceSetMode",
                             "DeviceVectorDisplay", "DeviceVectorXState", "DeviceVectorSeed"}) {
        const MemberInfo* m = FindMember(QXPgmrControl::Members(), QString::fromLatin1(name));
        ASSERT_NE(m, nullptr) << name;
        EXPECT_EQ(m->kind, MemberKind::GetPut) << name;
        EXPECT_GE(m->dispid, 5001) << name;
    }
}

} // namespace
