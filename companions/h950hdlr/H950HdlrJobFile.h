#pragma once

// The automatic handler's job files (".aqx"): text, one section
// "[H950Job]" with one "Key=Value" line per setting, keyed as the station
// keeps the same settings in its registry section "H950hdlr" (and the
// handler's quantity as "Quantity"). Lines end in CR LF; a reader takes LF
// alone too.
//
// Save writes the whole file or nothing: it goes to a temporary file that
// replaces the old one only when complete. Load reads the whole file first:
// a file that is not a handler job file (no such section first, a line that
// is not one of the keys, a quantity that is not a whole number from 0, the
// same key twice) is refused and no setting changes. Keys the file leaves
// out keep their values.

#include <QString>
#include <QVariant>
#include <functional>

class H950HdlrJobFile
{
public:
    // A setting by the handler's dispatch number.
    using Read = std::function<QVariant(int dispid)>;
    using Write = std::function<void(int dispid, const QVariant& value)>;

    // False when the file cannot be written, or a value holds a line break
    // (it could not be read back): the old file, if any, stays as it was.
    static bool Save(const QString& path, const Read& read);
    // False for a foreign or unreadable file; nothing was written then.
    static bool Load(const QString& path, const Write& write);
};
