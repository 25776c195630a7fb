#pragma once

// The engine's custom-action list (CustomActionList): "@Name:KIND|alt|alt:KIND|alt@Name2:...".
// Each action starts with "@"; its name runs to the first ":"; its
// procedures follow, separated by ":", each a four-character kind marker
// ("REQ|" required, "OPT|" optional, "REC|" recommended) and the procedure's
// alternatives separated by "|".
//
// The window offers one tab per action and one option row per optional or
// recommended procedure; the run sends one value per procedure.

#include "engine/EngineCodes.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace CustomActions {

struct Action
{
    QString name;  // the tab's key and caption
    QString entry; // the whole entry without its "@" (name included)
};

// The actions of a list that can get a tab, in the engine's order, and one
// status line for each entry left out: an empty entry ("@@" or a trailing
// "@"), text before the first "@", an action without a name, or a name that
// an earlier action (or another tab, takenNames) already carries. A faulty
// entry never takes the later actions with it.
struct Parsed
{
    QList<Action> actions;
    QStringList faults;
};
Parsed Parse(const QString& list, const QStringList& takenNames = {});

// The option rows a text needs: its ":"-separated parts containing "OPT|" or
// "REC|" anywhere (upper case as written); "REQ|" parts and others do not
// count.
qint16 CountOptions(const QString& text);

// The procedures of the first action of that name ("" when the list has no
// such action): the text after the name's ":" up to the next "@".
QString ProceduresOf(const QString& list, const QString& name);

// The option rows of one custom action's tab.
struct Row
{
    QStringList alternatives; // each offered with operation code 1025
    // The starting check box value for a row with nothing stored yet
    // (0 for "OPT|", 1 for "REC|"); -1 keeps the check box as it is.
    qint16 startValue = -1;
};

struct Rows
{
    QList<Row> rows;
    // Per procedure in the engine's order (all kinds), True for "REQ|"; one
    // more element than there are procedures, the last unused.
    QList<bool> procRequired;
    bool procRequiredKept = false; // "Invalid Action": the previous values stand
    bool invalidAction = false;    // more option rows than the window has
    bool noOptionalProcs = false;  // every procedure is required
    bool rowOverflow = false;      // a procedure of another kind needed a row beyond the last
};

// Operation codes of the custom-action rows: a procedure is the engine's
// second execute variant, the one entry of an action that cannot run is
// "Invalid Action", and an action without optional procedures offers one
// entry of code 0.
constexpr qint32 kProcedureCode = OperationCode::ProgramVariantBase + 1;
constexpr qint32 kInvalidActionCode = OperationCode::InvalidAction;
constexpr qint32 kNoOptionalProcsCode = OperationCode::Continuity;

// The rows for the procedures of one action, for a window of maxRows rows.
Rows BuildRows(const QString& procedures, int maxRows);

} // namespace CustomActions
