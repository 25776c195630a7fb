#include "ActionTabs.h"

#include "engine/QXPgmrControl.h"
#include "platform/AutomationError.h"

namespace ActionTabs {

namespace {

template <class T, class F>
void Read(T& field, F&& f)
{
    try {
        field = T(f());
    } catch (const AutomationError&) {
    }
}

const QString kNoDeviceSelected = QStringLiteral("No Device Selected");

} // namespace

Capabilities Capabilities::Read(QXPgmrControl& e)
{
    Capabilities c;
    ActionTabs::Read(c.testOnlyStation, [&] { return e.TestOnlyStation(); });
    ActionTabs::Read(c.supportsProgram, [&] { return e.DeviceSupportsProgram(); });
    ActionTabs::Read(c.executeVariantCount, [&] { return e.ExecuteVariantCount(); });
    ActionTabs::Read(c.deviceName, [&] { return e.DeviceName(); });
    ActionTabs::Read(c.verifySupport, [&] { return e.VerifySupport(); });
    ActionTabs::Read(c.supportsRead, [&] { return e.DeviceSupportsRead(); });
    ActionTabs::Read(c.supportsBlankCheck, [&] { return e.DeviceSupportsBlankCheck(); });
    ActionTabs::Read(c.supportsTestVectors, [&] { return e.DeviceSupportsTestVectors(); });
    ActionTabs::Read(c.supportsSecure, [&] { return e.DeviceSupportsSecure(); });
    ActionTabs::Read(c.supportsEraseTab, [&] { return e.DeviceSupportsEraseTab(); });
    return c;
}

Standard StandardTabs(const Capabilities& c)
{
    Standard s;
    const auto tab = [&](qint32 action, const char* caption, const char* key) {
        s.tabs << Tab{action, QString::fromLatin1(key), QString::fromLatin1(caption)};
    };

    // The first tab: one of four.
    if (c.testOnlyStation)
        tab(kProgram, "Te&st", "&TEST");
    else if (c.supportsProgram && c.executeVariantCount == 0)
        tab(kProgram, "&Program", "PROGRA&M");
    else if (c.executeVariantCount != 0)
        tab(kProgram, "&Program", "&EXECUTE");
    else if (c.deviceName == kNoDeviceSelected)
        tab(kNoAction, "N/A", "Null");

    if (c.verifySupport == 1)
        tab(kVerify, "&Verify", "VERIF&Y");
    if (c.supportsRead)
        tab(kRead, "&Read", "REA&D");
    // Only a device that can neither be verified nor read loses these two.
    if (c.verifySupport == 0 && !c.supportsRead)
        s.droppedActions << kVerify << kRead;

    const auto optional = [&](bool supported, qint32 action, const char* caption, const char* key) {
        if (supported)
            tab(action, caption, key);
        else
            s.droppedActions << action;
    };
    optional(c.supportsBlankCheck, kBlankCheck, "&Blank", "B&LANK");
    // The first tab of a test-first station already is its test tab (and
    // carries the same key).
    optional(c.supportsTestVectors && !c.testOnlyStation, kTest, "T&est", "&TEST");
    optional(c.supportsSecure, kSecure, "&Secure", "SEC&URE");
    optional(c.supportsEraseTab, kErase, "&Erase", "ER&ASE");
    return s;
}

QList<ToolTip> ToolTips(const Capabilities& c)
{
    QList<ToolTip> tips;
    const auto tip = [&](bool supported, qint32 action, const char* text) {
        if (supported)
            tips << ToolTip{action, QString::fromLatin1(text)};
    };
    tip(c.supportsRead, kRead, "Selects the READ DEVICE option");
    tip(c.verifySupport == 1, kVerify, "Selects the VERIFY DEVICE option");
    tip(c.supportsProgram, kProgram, "Selects the PROGRAM DEVICE option");
    tip(c.supportsBlankCheck, kBlankCheck, "Selects the BLANK CHECK DEVICE option");
    tip(c.supportsSecure, kSecure, "Selects the SECURE DEVICE option");
    tip(c.supportsTestVectors, kTest, "Selects the TEST DEVICE option");
    tip(c.supportsEraseTab, kErase, "Selects the ERASE DEVICE option");
    return tips;
}

QString TooManyOptionsText(int maxOptions, const QString& actionName)
{
    return QStringLiteral("The maximum number of options(max options=") + QString::number(maxOptions)
        + QStringLiteral(") allowed has been") + QStringLiteral(" exceeded by ") + actionName + QStringLiteral(".")
        + QStringLiteral("\r\n") + QStringLiteral("This action will not be available.");
}

QString TooManyActionsText(qint32 errorNumber)
{
    return QStringLiteral("Error # ") + QString::number(errorNumber) + QStringLiteral("\r\n")
        + QStringLiteral("The maximum number of actions supported by this system has ")
        + QStringLiteral("been exceeded.") + QStringLiteral("\r\n") + QStringLiteral("Excess actions will not be available.");
}

QString TotalActionsLoadedText(int tabsAdded)
{
    return QStringLiteral("Total Actions loaded = ") + QString::number(tabsAdded);
}

QString NoDeviceForOptionsText()
{
    return QStringLiteral("Please choose a device before selecting to ") + QStringLiteral("modify it!");
}

} // namespace ActionTabs
