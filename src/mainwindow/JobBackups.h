#pragma once

// Backup copies of older Sealbook files, made before they are converted:
// "line4.qx" is kept as "line4_Backup.qx" beside it.

#include <QString>

namespace jobbackups {

// The backup name: "_Backup" before the last "." of the file's own name (a
// dot in a folder name does not count); a name without one gets "_Backup"
// at its end. "" for "".
QString MakeBackupName(const QString& file);

// Copies file over backup (which may exist): False, leaving the original as
// it was, when the copy could not be made. The copy is left writable.
bool CopyOver(const QString& file, const QString& backup);

// True for a file its owner may not write, by its permission bits: the
// answer is the same for every user, root included, who could write it
// anyway.
bool IsReadOnly(const QString& file);

} // namespace jobbackups
