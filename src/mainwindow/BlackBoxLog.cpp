#include "BlackBoxLog.h"

#include "frmMain.h"
#include "platform/AutomationError.h"
#include "shell/StartUp.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <cstdio>

namespace {
QString LogFolder()
{
    if (!gMainForm || !gMainForm->QXProgrammer.IsAttached())
        return {};
    try {
        return QDir(gMainForm->QXProgrammer.EngineDirectory()).filePath(QStringLiteral("DATALOG"));
    } catch (const AutomationError&) {
        return {};
    }
}
} // namespace

void WriteLogInfo(const QString& text, bool bTimeStamp)
{
    QString line = text;
    if (bTimeStamp)
        line = QDateTime::currentDateTime().toString(QStringLiteral("MM/dd/yyyy hh:mm:ss")) + QStringLiteral("  ") + text;
    const QString folder = LogFolder();
    if (!folder.isEmpty() && QDir().mkpath(folder)) {
        QFile file(QDir(folder).filePath(QStringLiteral("BlackBox.log")));
        if (file.open(QIODevice::Append)) {
            const QByteArray bytes = (line + QStringLiteral("\r\n")).toUtf8();
            if (file.write(bytes) == bytes.size())
                return;
        }
    }
    // A line that cannot be written anywhere else is not lost silently.
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
}
