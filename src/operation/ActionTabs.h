#pragma once

// The action tabs a selected device gets, from what the engine reports it can
// do: the standard actions Program (or Execute, or Test on a test-first
// station), Verify, Read, Blank, Test, Secure and Erase, then one tab per
// custom action of the engine's list. Each tab has a key (the Action button's
// caption for it) and a caption.

#include <QList>
#include <QString>
#include <QStringList>

class QXPgmrControl;

namespace ActionTabs {

// Action numbers.
constexpr qint32 kNoAction = 0;
constexpr qint32 kProgram = 1;
constexpr qint32 kVerify = 2;
constexpr qint32 kRead = 3;
constexpr qint32 kBlankCheck = 4;
constexpr qint32 kTest = 5;
constexpr qint32 kSecure = 6;
constexpr qint32 kErase = 7;
constexpr qint32 kFirstCustomAction = 8;
// Action slots 0 to 8 before any custom action beyond the first.
constexpr qint32 kStandardActionSlots = 9;

// The most tabs the window offers: the job configuration keeps the per-tab
// settings of a tab total (tabs + 1) up to 1024.
constexpr int kMaxTabs = 1023;
// The error number of a tab the window has no room for (VB's "Overflow").
constexpr qint32 kNoRoomForTabError = 6;

struct Tab
{
    qint32 action = kNoAction;
    QString key;
    QString caption;
    bool operator==(const Tab&) const = default;
};

// What the engine reports of the selected device for its tabs. A read that
// fails leaves its default: the statement is passed over.
struct Capabilities
{
    bool testOnlyStation = false;
    bool supportsProgram = false;
    qint32 executeVariantCount = 0;
    QString deviceName;
    qint16 verifySupport = 0;
    bool supportsRead = false;
    bool supportsBlankCheck = false;
    bool supportsTestVectors = false;
    bool supportsSecure = false;
    bool supportsEraseTab = false;

    static Capabilities Read(QXPgmrControl& engine);
};

// The standard tabs in order, and the actions whose tab is gone so that they
// stop being the current action.
struct Standard
{
    QList<Tab> tabs;
    QList<qint32> droppedActions;
};
Standard StandardTabs(const Capabilities& caps);

// The tool tip of a standard action's tab, given only where its capability
// holds ("" otherwise), in the order the tabs get them.
struct ToolTip
{
    qint32 action;
    QString text;
};
QList<ToolTip> ToolTips(const Capabilities& caps);

// Messages and status lines.
QString TooManyOptionsText(int maxOptions, const QString& actionName);
QString TooManyActionsText(qint32 errorNumber);
QString TotalActionsLoadedText(int tabsAdded);
QString NoDeviceForOptionsText();

} // namespace ActionTabs
