#pragma once

// The operation lists of the standard action tabs: which entries each option
// row offers, with the operation code each entry hands to the engine, chosen
// by what the engine reports the selected device can do. Each capability is
// read from the engine where its test stands; nothing is kept between builds.
//
// A builder only works out the rows; the operation window puts them into its
// option rows, stores the values the builder asks it to store and then
// brings back the operator's choices.

#include <QList>
#include <QString>

class QXPgmrControl;

// True only while the main window's "Flash BIOS" command runs its operation:
// the Program tab then offers (and selects) the diagnostics device's "Flash"
// variant even on a test-first station.
extern bool gbFlashBiosRun;

namespace OperationLists {

struct Entry
{
    QString text;
    qint32 code = 0;
    bool operator==(const Entry&) const = default;
};

struct Row
{
    QList<Entry> entries;
    int selected = -1; // the entry the builder selects; -1 none
};

struct Built
{
    QList<Row> rows; // one per option row of the window
    // Rows whose values are stored once after a device selection (the tab's
    // fresh defaults); storeAll stores every row of the tab.
    QList<int> storeRows;
    bool storeAll = false;
    // Rows stored whatever the flag (the "Flash" run's row 2).
    QList<int> alwaysStoreRows;
};

struct Context
{
    int rowCount = 17;
    qint32 handlerType = 0;     // 0 manual, 1 and 2 automatic handlers
    bool vexalMode = false;     // "-Vexal" on the command line
    bool flashBiosRun = false;  // gbFlashBiosRun
    bool storeOnce = false;     // the action's fresh-store flag is set
};

// Action 1.
Built Program(QXPgmrControl& engine, const Context& context);
// Action 2.
Built Verify(QXPgmrControl& engine, const Context& context);
// Action 3.
Built Read(QXPgmrControl& engine, const Context& context);
// Actions 4 to 7.
Built BlankCheck(QXPgmrControl& engine, const Context& context);
Built Test(QXPgmrControl& engine, const Context& context);
Built Secure(QXPgmrControl& engine, const Context& context);
Built Erase(QXPgmrControl& engine, const Context& context);

// The list builder of a standard action (1 to 7); nullptr for another.
using Builder = Built (*)(QXPgmrControl&, const Context&);
Builder BuilderFor(qint32 action);

// "Illegal Bit" (46) when the device supports the illegal-bit check.
void AddIllegalBitItem(QXPgmrControl& engine, Row& row);

// What the rules of an action do to the rows once the lists are filled.
struct Effect
{
    enum Kind {
        Force,          // check box greyed (2) and disabled
        Show,           // list, check box and progress bar shown
        UncheckAndHide, // check box cleared, the row hidden
    };
    Kind kind;
    int row;
    bool operator==(const Effect&) const = default;
};
// For a standard action (1 to 7), in the order they apply; entryCount(row)
// is the number of entries the row's list now holds. A rule whose engine
// read fails is left out; the others still apply.
QList<Effect> Rules(QXPgmrControl& engine, qint32 action, const QList<int>& entryCounts);


} // namespace OperationLists
