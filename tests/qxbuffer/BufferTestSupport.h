#pragma once

// What the buffer tests share: files in a temporary folder, random bytes
// with a fixed seed and srec_cat, the reference reader and writer of HEX and
// S-record files, run as a process.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <random>

class DataBuffer;

namespace buffertest {

// Runs srec_cat with the arguments; false (and a failed test naming the
// package to install) when it is missing. stderr is handed back.
bool SrecCat(const QStringList& arguments, QByteArray* standardError = nullptr);

void WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);

QByteArray RandomBytes(qint64 count, std::mt19937& rng);

// The buffer's bytes, whole.
QByteArray Contents(const DataBuffer& buffer);

} // namespace buffertest
