// Every member and event of every outside control the station reaches is
// declared by its stand-in: answered (a handler, a stored property, a put
// taken) or left out with its reason; raised, or never raised with its
// reason. The control tables hold exactly what the station calls and
// handles (their rows are written from its use and checked against the
// reference index), so the test walks every row of them. A stored property
// is also written by something, else it would answer its default forever:
// the station puts it, or the stand-in's own code stores it.

#include "CompanionFixture.h"

#include "engine/DataPaneControl.h"
#include "engine/H950HdlrControl.h"
#include "engine/ManualHdlControl.h"
#include "engine/ManualHdlDeviceArbiterControl.h"
#include "engine/ManualHdlSocketArbiterControl.h"
#include "engine/QXPgmrControl.h"
#include "engine/SiteBoxControl.h"
#include "platform/DispatchObject.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
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

// The stored properties no writer is seen for yet, each with why it stays
// stored meanwhile. Keep this list to changes that are under way.
const QHash<QString, QString> kWriterPending{};

// The C++ sources under a folder, comments left out.
QString Code(const QString& folder)
{
    static const QRegularExpression comments(QStringLiteral("//[^\n]*|/\\*.*?\\*/"),
                                             QRegularExpression::DotMatchesEverythingOption);
    QString code;
    QDirIterator it(folder, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            code += QString::fromUtf8(file.readAll()).remove(comments) + QLatin1Char('\n');
    }
    return code;
}

// Does a stand-in's code store the member: Store(...) naming it, or a row of
// a table that names it beside a key text (the rows its file readers and
// dialogs store through)?
bool StandInWrites(const QString& code, const QString& member)
{
    const QString name = QStringLiteral("(?:\\w+::)*") + QRegularExpression::escape(member) + QStringLiteral("\\b");
    const QRegularExpression store(QStringLiteral("\\bStore\\(\\s*") + name);
    const QRegularExpression tableRow(QStringLiteral("\\{[^{};]*\"[^\"{};]*\"[^{};]*[\\s,]") + name
                                      + QStringLiteral("[^{};]*\\}"));
    return code.contains(store) || code.contains(tableRow);
}

// Does the station put the member: a row it may put, called with a value
// through its typed accessor, or named as text (the job configuration puts
// its device settings by name)?
bool StationPuts(const QString& code, const MemberInfo& row)
{
    if (row.kind != MemberKind::Put && row.kind != MemberKind::GetPut)
        return false;
    const QString name = QRegularExpression::escape(QLatin1String(row.name));
    const QRegularExpression typed(QStringLiteral("[.>]") + name + QStringLiteral("\\(\\s*[^)\\s]"));
    const QRegularExpression byName(QLatin1Char('"') + name + QLatin1Char('"'));
    return code.contains(typed) || code.contains(byName);
}

class StandInDeclarationTest : public CompanionFixture
{
protected:
    struct Control
    {
        const char* name;
        MemberTable members;
        std::shared_ptr<IDispatchControl> control;
        const char* folder; // under companions/
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
            {"QXProgrammer", QXPgmrControl::Members(), Create(QXPgmrControl::ClassName), "qxpgmr"},
            {"QXH950AutoHandler", H950HdlrControl::Members(), Create(H950HdlrControl::ClassName), "h950hdlr"},
            {"ConcurrentManualHandler", ManualHdlControl::Members(), Create(ManualHdlControl::ClassName), "manualhdl"},
            {"SiteBox", SiteBoxControl::Members(), Create(SiteBoxControl::ClassName), "baycontrol"},
            {"DataPane", DataPaneControl::Members(), Create(DataPaneControl::ClassName), "datapane"},
        };
        // The arbiters come from the manual handler, as the host gets them.
        IDispatchControl& manual = *controls[2].control;
        ArbiterCatcher catcher;
        manual.SetEventSink(&catcher);
        QVariantList handle{qint32(1)};
        manual.Call(ManualHdlId::SetHostWindowHandle, handle);
        manual.SetEventSink(nullptr);
        controls.push_back(
            {"DeviceAutomationArbiter", ManualHdlDeviceArbiterControl::Members(), catcher.arbiter, "manualhdl"});
        controls.push_back({"SocketAutomationArbiter", ManualHdlSocketArbiterControl::Members(),
                            companion::ObjectOf(manual.Get(ManualHdlId::ThreadCommUtil)), "manualhdl"});
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

TEST_F(StandInDeclarationTest, EveryStoredPropertyIsWrittenBySomething)
{
    const QString station = Code(SourceDir() + QStringLiteral("/src"));
    ASSERT_FALSE(station.isEmpty());
    QStringList pendingSeen;
    for (const Control& c : Controls()) {
        SCOPED_TRACE(c.name);
        const auto* standIn = dynamic_cast<const DispatchObject*>(c.control.get());
        ASSERT_NE(standIn, nullptr);
        const QString code = Code(SourceDir() + QStringLiteral("/companions/") + QLatin1String(c.folder));
        ASSERT_FALSE(code.isEmpty()) << c.folder;
        for (const MemberInfo& row : c.members) {
            if (row.kind == MemberKind::Event
                || standIn->MemberDeclaration(row.dispid).how != DispatchObject::Declared::Stored)
                continue;
            const QString key = QLatin1String(c.name) + QLatin1Char('.') + QLatin1String(row.name);
            const bool written = StationPuts(station, row) || StandInWrites(code, QLatin1String(row.name));
            if (kWriterPending.contains(key)) {
                pendingSeen << key;
                EXPECT_FALSE(written) << key.toStdString() << " is written now: remove it from kWriterPending";
                continue;
            }
            EXPECT_TRUE(written) << "stored property " << row.name
                                 << " is written by nothing: have the stand-in produce it, or declare it not "
                                    "simulated with its reason (companions/simplan/NotSimulated.h)";
        }
    }
    EXPECT_EQ(pendingSeen.size(), kWriterPending.size()) << "an entry of kWriterPending names no stored property";
}

// The rule's reading of the sources, on planted code: each kind of writer
// counts, a read or a mere declaration does not.
TEST_F(StandInDeclarationTest, TheWriterRuleTellsWritesFromReads)
{
    const struct
    {
        const char* what;
        const char* code;
        bool written;
    } cases[] = {
        {"a store", "Store(H950HdlrId::LabelerValue67, VbBool(true));", true},
        {"a store without the prefix", "  Store(LabelerValue67, x, at);", true},
        {"a table row the stand-in stores through", "{\"Marker\", H950HdlrId::LabelerValue67},", true},
        {"only declared", "Stores({HandlerValue1, LabelerValue67});", false},
        {"only read", "return Stored(H950HdlrId::LabelerValue67);", false},
        {"a longer name", "Store(H950HdlrId::LabelerValue678, 1);", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StandInWrites(QString::fromLatin1(c.code), QStringLiteral("LabelerValue67")), c.written) << c.what;

    const MemberInfo getOnly{"LabelerValue67", 67, MemberKind::Get, ValueKind::Bool};
    const MemberInfo getPut{"SilentMode", 320, MemberKind::GetPut, ValueKind::Bool};
    EXPECT_TRUE(StationPuts(QStringLiteral("engine.SilentMode(true);"), getPut));
    EXPECT_FALSE(StationPuts(QStringLiteral("if (engine.SilentMode()) {}"), getPut));
    EXPECT_TRUE(StationPuts(QStringLiteral("{QStringLiteral(\"SilentMode\"), QStringLiteral(\"x\"), 0},"), getPut));
    EXPECT_FALSE(StationPuts(QStringLiteral("handler.LabelerValue67(x);"), getOnly));
    EXPECT_FALSE(StationPuts(QStringLiteral("GetByName(\"LabelerValue67\")"), getOnly));
}

} // namespace
