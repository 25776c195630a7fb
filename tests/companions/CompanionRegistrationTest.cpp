// Registration and creation by class name through the real plug-in files.

#include "CompanionFixture.h"

#include "engine/DataPaneControl.h"
#include "engine/H950HdlrControl.h"
#include "engine/ManualHdlControl.h"
#include "engine/QXPgmrControl.h"
#include "engine/SiteBoxControl.h"
#include "platform/AutomationError.h"
#include "platform/DispatchObject.h"
#include "platform/Registry.h"

#include <QFile>
#include <QWidget>

namespace {

struct Companion
{
    const char* file;
    const char* className;
    MemberTable members;
    bool widget;
};

const Companion kCompanions[] = {
    {"H950Hdlr.ocx", H950HdlrControl::ClassName, H950HdlrControl::Members(), false},
    {"QXPgmr.ocx", QXPgmrControl::ClassName, QXPgmrControl::Members(), false},
    {"DataPane.ocx", DataPaneControl::ClassName, DataPaneControl::Members(), true},
    {"ManualHdl.ocx", ManualHdlControl::ClassName, ManualHdlControl::Members(), false},
    {"BayCtrl.ocx", SiteBoxControl::ClassName, SiteBoxControl::Members(), true},
};

qint32 CreationError(const QString& className)
{
    try {
        companion::CreateControl(className);
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.Description(), QStringLiteral("ActiveX component can't create object"));
        return e.Number();
    }
    return 0;
}

// The default value of HKCR\<class>\InprocServer32, read with the registry calls.
QString ServerValue(const QString& className)
{
    reg::HKEY key = 0;
    if (reg::RegOpenKeyEx(reg::HKEY_CLASSES_ROOT, className + QStringLiteral("\\InprocServer32"), &key)
        != reg::ERROR_SUCCESS)
        return {};
    reg::ValueType type = reg::REG_NONE;
    QByteArray data;
    const long rc = reg::RegQueryValueEx(key, QString(), &type, &data);
    reg::RegCloseKey(key);
    EXPECT_EQ(rc, reg::ERROR_SUCCESS);
    EXPECT_EQ(type, reg::REG_SZ);
    return QString::fromUtf8(data.left(data.indexOf('\0')));
}

class CompanionRegistrationTest : public CompanionFixture
{
};

TEST_F(CompanionRegistrationTest, EachPluginRegistersCreatesAndUnregistersItsClass)
{
    for (const Companion& c : kCompanions) {
        SCOPED_TRACE(c.file);
        const QString className = QString::fromLatin1(c.className);
        const QString path = PluginPath(QString::fromLatin1(c.file));
        ASSERT_TRUE(QFile::exists(path));
        EXPECT_EQ(CreationError(className), 429);

        EXPECT_EQ(Register(QString::fromLatin1(c.file)), companion::S_OK);
        EXPECT_EQ(ServerValue(className), path);
        EXPECT_EQ(companion::RegisteredLibrary(className), path);

        const std::unique_ptr<IDispatchControl> control = companion::CreateControl(className);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->ClassName(), className);
        EXPECT_EQ(control->Widget() != nullptr, c.widget);

        // Every member reached by name has the number of its table row.
        for (const MemberInfo& m : c.members) {
            if (m.kind != MemberKind::Event) {
                EXPECT_EQ(control->GetIDOfName(QString::fromLatin1(m.name)), m.dispid) << m.name;
            }
        }

        EXPECT_EQ(Unregister(QString::fromLatin1(c.file)), companion::S_OK);
        EXPECT_EQ(companion::RegisteredLibrary(className), QString());
        reg::HKEY key = 0;
        EXPECT_EQ(reg::RegOpenKeyEx(reg::HKEY_CLASSES_ROOT, className, &key), reg::ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(CreationError(className), 429);
        // A control made before unregistering keeps working.
        EXPECT_NO_THROW(control->GetIDOfName(QStringLiteral("x")));
    }
}

TEST_F(CompanionRegistrationTest, AClassWhoseLibraryIsGoneOrWrongCannotBeCreated)
{
    ASSERT_EQ(companion::RegisterClass(QStringLiteral("GONELib.Gone"), tempPath(QStringLiteral("Gone.ocx"))),
              companion::S_OK);
    EXPECT_EQ(CreationError(QStringLiteral("GONELib.Gone")), 429);

    // A real plug-in asked for a class it does not offer.
    ASSERT_EQ(companion::RegisterClass(QStringLiteral("OTHERLib.Other"), PluginPath(QStringLiteral("QXPgmr.ocx"))),
              companion::S_OK);
    EXPECT_EQ(CreationError(QStringLiteral("OTHERLib.Other")), 429);

    EXPECT_EQ(CreationError(QStringLiteral("NEVERLib.Registered")), 429);
}

TEST_F(CompanionRegistrationTest, ControlErrorsCrossThePluginBoundary)
{
    ASSERT_EQ(Register(QStringLiteral("QXPgmr.ocx")), companion::S_OK);
    QXPgmrControl QXProgrammer;
    QXProgrammer.Attach(companion::CreateControl(QString::fromLatin1(QXPgmrControl::ClassName)));

    try {
        QXProgrammer.PutByName(QStringLiteral("SilentMode"), QStringLiteral("not a Boolean"));
        FAIL() << "no error";
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.Number(), DispatchObject::DISP_E_TYPEMISMATCH);
        EXPECT_EQ(e.Source(), QStringLiteral("QXPGMRLib.QXPgmr"));
        EXPECT_EQ(e.Description(), QStringLiteral("Type mismatch."));
    }
    try {
        QXProgrammer.Control()->Get(4999);
        FAIL() << "no error";
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.Number(), DispatchObject::DISP_E_MEMBERNOTFOUND);
        EXPECT_EQ(e.Description(), QStringLiteral("Member not found."));
    }
}

TEST_F(CompanionRegistrationTest, WidgetControlsLetTheirHostOwnTheWidget)
{
    ASSERT_EQ(Register(QStringLiteral("BayCtrl.ocx")), companion::S_OK);
    // The host's window goes first: the control must not delete the widget again.
    {
        auto host = std::make_unique<QWidget>();
        auto box = companion::CreateControl(QString::fromLatin1(SiteBoxControl::ClassName));
        QWidget* widget = box->Widget();
        EXPECT_EQ(box->Widget(), widget);
        widget->setParent(host.get());
        host.reset();
        box.reset();
    }
    // The control goes first: its widget leaves the host with it.
    auto host = std::make_unique<QWidget>();
    auto box = companion::CreateControl(QString::fromLatin1(SiteBoxControl::ClassName));
    box->Widget()->setParent(host.get());
    EXPECT_EQ(host->children().size(), 1);
    box.reset();
    EXPECT_EQ(host->children().size(), 0);
}

} // namespace
