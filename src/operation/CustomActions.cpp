#include "CustomActions.h"

#include <limits>

namespace CustomActions {

namespace {

const QLatin1String kRequired("REQ|");
const QLatin1String kOptional("OPT|");
const QLatin1String kRecommended("REC|");

QString NameOf(const QString& entry)
{
    const qsizetype colon = entry.indexOf(QLatin1Char(':'));
    return colon < 0 ? entry : entry.left(colon);
}

} // namespace

Parsed Parse(const QString& list, const QStringList& takenNames)
{
    Parsed parsed;
    if (list.isEmpty())
        return parsed;

    const QStringList pieces = list.split(QLatin1Char('@'));
    // pieces[0] is what stands before the first "@": nothing, in a sound list.
    if (!pieces.first().isEmpty())
        parsed.faults << QStringLiteral("The custom-action list does not begin with \"@\"; the text \"%1\" before the "
                                        "first action was skipped.")
                             .arg(pieces.first());

    QStringList names;
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const QString& entry = pieces.at(i);
        const int position = int(i);
        if (entry.isEmpty()) {
            parsed.faults << QStringLiteral("Custom action %1 of the device's list is empty (\"@@\" or a trailing "
                                            "\"@\"); it was skipped.")
                                 .arg(position);
            continue;
        }
        const QString name = NameOf(entry);
        if (name.trimmed().isEmpty()) {
            parsed.faults << QStringLiteral("Custom action %1 of the device's list has no name; it was skipped.")
                                 .arg(position);
            continue;
        }
        if (takenNames.contains(name)) {
            parsed.faults << QStringLiteral("The custom action \"%1\" has the name of another tab; it is not available.")
                                 .arg(name);
            continue;
        }
        if (names.contains(name)) {
            parsed.faults << QStringLiteral("The custom action \"%1\" is listed more than once; only the first one "
                                            "is available.")
                                 .arg(name);
            continue;
        }
        names << name;
        parsed.actions << Action{name, entry};
    }
    return parsed;
}

qint16 CountOptions(const QString& text)
{
    // Held at the largest Integer: a longer list must still count as more
    // options than any window has, never wrap to a small or negative count.
    qint16 count = 0;
    for (const QString& part : text.split(QLatin1Char(':'))) {
        if ((part.contains(kOptional) || part.contains(kRecommended)) && count < std::numeric_limits<qint16>::max())
            ++count;
    }
    return count;
}

QString ProceduresOf(const QString& list, const QString& name)
{
    // By whole entries: a name that is also the end of another action's
    // procedures ("...:OPT|x@Name:") cannot be mistaken for it.
    const QStringList pieces = list.split(QLatin1Char('@'));
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const QString& entry = pieces.at(i);
        const qsizetype colon = entry.indexOf(QLatin1Char(':'));
        if ((colon < 0 ? entry : entry.left(colon)) == name)
            return colon < 0 ? QString() : entry.mid(colon + 1);
    }
    return {};
}

Rows BuildRows(const QString& procedures, int maxRows)
{
    Rows result;
    if (CountOptions(procedures) > maxRows) {
        result.invalidAction = true;
        result.procRequiredKept = true;
        return result;
    }

    // Starts empty: an action without procedures must not run with the
    // values of the action built before it.
    result.procRequired = {false};
    QString rest = procedures;
    while (!rest.isEmpty()) {
        const QString marker = rest.left(4);
        rest = rest.mid(4);
        const qsizetype colon = rest.indexOf(QLatin1Char(':'));
        const QString text = colon < 0 ? rest : rest.left(colon);
        rest = colon < 0 ? QString() : rest.mid(colon + 1);

        const qsizetype procedure = result.procRequired.size() - 1;
        result.procRequired << false;
        if (marker == kRequired) {
            result.procRequired[procedure] = true;
            continue;
        }
        if (result.rows.size() >= maxRows) {
            // A procedure of another kind is not counted above, so it can
            // need a row the window does not have.
            result.rowOverflow = true;
            return result;
        }
        Row row;
        if (!text.isEmpty())
            row.alternatives = text.split(QLatin1Char('|'));
        if (marker == kOptional)
            row.startValue = 0;
        else if (marker == kRecommended)
            row.startValue = 1;
        result.rows << row;
    }
    result.noOptionalProcs = result.rows.isEmpty();
    return result;
}

} // namespace CustomActions
