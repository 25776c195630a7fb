#pragma once

// Settings come back from the store as text. These turn a stored value into
// the type a setting has, as the program's own conversions do: Booleans are
// the words True and False (or a number, non-zero meaning True), numbers are
// decimal text. A value that does not convert gives the fallback the caller
// names, so a damaged setting reads as its default.

#include <QString>
#include <QVariant>
#include <optional>

// A whole number: an integer value, a Boolean (True is -1), or decimal text
// (a fraction is rounded half to even). Nothing for anything else.
std::optional<qint64> ToWhole(const QVariant& value);

bool ToBool(const QVariant& value, bool fallback);
qint16 ToInteger(const QVariant& value, qint16 fallback);
qint32 ToLong(const QVariant& value, qint32 fallback);
// The text the store keeps for a value: True or False for a Boolean, decimal
// for a number, "" for nothing.
QString ToText(const QVariant& value);
