// Every member and event of every outside control the station reaches is
// declared by its stand-in: answered (a handler, a stored property, a put
// taken) or left out with its reason; raised, or never raised with its
// reason. The control tables hold exactly what the station calls and
// handles (their rows are written from its use and checked against the
// reference index), so the test walks every row of them.

#include "CompanionFixture.h"

#include "engine/DataPaneControl.h"
#include "engine/H950HdlrControl.h"
#include "engine/ManualHdlControl.h"
#include "engine/ManualHdlDeviceArbiterControl.h"
#include "engine/ManualHdlSocketArbiterControl.h"
#include "engine/QXPgmrControl.h"
#include "engine/SiteBoxControl.h"
#include "platform/DispatchObject.h"

#include <memory>

namespace {

// Catches the object value the manual handler hands its host.
class ArbiterCatcher : public IEventSink
{
public:
    void Fire(const QString& eventName, QVariantList& args) override
    {
        if (eventName == QLatin1String("SetDeviceAutomationArbiter") && !args.isEmpty())
            arbiter = companion::ObjectOf(args.first());
    }
    ControlHandle arbiter;
};

class StandInDeclarationTest : public CompanionFixture
{
protected:
    struct Control
    {
        const char* name;
        MemberTable members;
        std::shared_ptr<IDispatchControl> control;
    };

    void SetUp() override
    {
        CompanionFixture::SetUp();
        for (const char* file : {"QXPgmr.ocx", "H950Hdlr.ocx", "ManualHdl.ocx", "BayCtrl.ocx", "DataPane.ocx"})
            ASSERT_EQ(Register(QString::fromLatin1(file)), companion::S_OK) << file;
    }

    static std::shared_ptr<IDispatchControl> Create(const char* className)
    {
        return std::shared_ptr<IDispatchControl>(companion::CreateControl(QString::fromLatin1(className)));
    }

    std::vector<Control> Controls()
    {
        std::vector<Control> controls{
            {"QXProgrammer", QXPgmrControl::Members(), Create(QXPgmrControl::ClassName)},
            {"QXH950AutoHandler", H950HdlrControl::Members(), Create(H950HdlrControl::ClassName)},
            {"ConcurrentManualHandler", ManualHdlControl::Members(), Create(ManualHdlControl::ClassName)},
            {"SiteBox", SiteBoxControl::Members(), Create(SiteBoxControl::ClassName)},
            {"DataPane", DataPaneControl::Members(), Create(DataPaneControl::ClassName)},
        };
        // The arbiters come from the manual handler, as the host gets them.
        IDispatchControl& manual = *controls[2].control;
        ArbiterCatcher catcher;
        manual.SetEventSink(&catcher);
        QVariantList handle{qint32(1)};
        manual.Call(ManualHdlId::SetHostWindowHandle, handle);
        manual.SetEventSink(nullptr);
        controls.push_back({"DeviceAutomationArbiter", ManualHdlDeviceArbiterControl::Members(), catcher.arbiter});
        controls.push_back({"SocketAutomationArbiter", ManualHdlSocketArbiterControl::Members(),
                            companion::ObjectOf(manual.Get(ManualHdlId::ThreadCommUtil))});
        return controls;
    }
};

TEST_F(StandInDeclarationTest, EveryMemberAndEventOfEveryControlIsDeclared)
{
    using Declared = DispatchObject::Declared;
    for (const Control& c : Controls()) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(c.control, nullptr);
        const auto* standIn = dynamic_cast<const DispatchObject*>(c.control.get());
        ASSERT_NE(standIn, nullptr) << "not a stand-in";
        for (const MemberInfo& row : c.members) {
            if (row.kind == MemberKind::Event) {
                const auto d = standIn->EventDeclaration(QLatin1String(row.name));
                EXPECT_TRUE(d.how == Declared::Raised || d.how == Declared::NeverRaised)
                    << "event " << row.name << " is neither raised nor declared never raised";
                continue;
            }
            const auto d = standIn->MemberDeclaration(row.dispid);
            EXPECT_NE(d.how, Declared::Nothing) << "member " << row.name << " (" << row.dispid << ") is not declared";
        }
    }
}

} // namespace
