#pragma once

// Reads the send-keys notation the station types in: "^" Ctrl, "%" Alt,
// "+" Shift before a key or a group in brackets ("^(O)"), "{ENTER}" and the
// other named keys in braces, any other character itself.

#include <QString>
#include <QVector>

struct KeyStroke
{
    bool ctrl = false;
    bool alt = false;
    bool shift = false;
    QString key; // a letter in upper case, or the name in braces ("ENTER", "UP")

    bool operator==(const KeyStroke&) const = default;
};

namespace sendkeys {

// The keystrokes in order; an unclosed brace or bracket ends the list there.
QVector<KeyStroke> Parse(const QString& keys);

} // namespace sendkeys
