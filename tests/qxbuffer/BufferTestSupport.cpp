#include "BufferTestSupport.h"

#include "DataBuffer.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace buffertest {

bool SrecCat(const QStringList& arguments, QByteArray* standardError)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("srec_cat"));
    if (program.isEmpty()) {
        ADD_FAILURE() << "srec_cat is missing: install the package \"srecord\"";
        return false;
    }
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000)) {
        ADD_FAILURE() << "srec_cat did not finish: " << arguments.join(u' ').toStdString();
        return false;
    }
    const QByteArray err = process.readAllStandardError();
    if (standardError)
        *standardError = err;
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        ADD_FAILURE() << "srec_cat " << arguments.join(u' ').toStdString() << " failed: " << err.toStdString();
        return false;
    }
    return true;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray RandomBytes(qint64 count, std::mt19937& rng)
{
    QByteArray bytes(count, Qt::Uninitialized);
    qint64 i = 0;
    for (; i + 4 <= count; i += 4) {
        const quint32 r = rng();
        memcpy(bytes.data() + i, &r, 4);
    }
    for (; i < count; ++i)
        bytes[i] = char(rng());
    return bytes;
}

QByteArray Contents(const DataBuffer& buffer)
{
    return buffer.Bytes(0, buffer.Size());
}

} // namespace buffertest
