#pragma once

// The real program, started as a process: headless, with a scripted UI, a
// temporary registry root and home.
#include "TestEnv.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

class ProgramProcessTest : public TarvoTest
{
protected:
    QString program() const { return BinDir() + "/tarvo"; }
    QString uiLog() const { return tempPath("ui.log"); }

    QProcessEnvironment env(int closeAfterMs = 0) const
    {
        QProcessEnvironment e = childEnvironment();
        e.insert("TARVO_UI_SCRIPT", "/dev/null");
        e.insert("TARVO_UI_LOG", uiLog());
        if (closeAfterMs >= 0)
            e.insert("TARVO_TEST_CLOSE_AFTER_MS", QString::number(closeAfterMs));
        return e;
    }
    QStringList uiLines() const
    {
        QFile f(uiLog());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    // Waits until the running instance holds its single-instance lock (the
    // lock file names its holder: a lock file killed before it was written
    // names nobody and is refused as held).
    bool waitForLock() const
    {
        const QDir runtime(childEnvironment().value("XDG_RUNTIME_DIR"));
        for (int i = 0; i < 200; ++i) {
            for (const QFileInfo& lock : runtime.entryInfoList({"*.lock"}, QDir::Files)) {
                if (lock.size() > 0)
                    return true;
            }
            QThread::msleep(50);
        }
        return false;
    }
    QString blackBoxLogPath() const
    {
        return childEnvironment().value("XDG_DATA_HOME") + "/Corvane/QXEngine/DATALOG/BlackBox.log";
    }
    QString blackBoxLog() const
    {
        QFile log(blackBoxLogPath());
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
    }
    QString settingsHive() const
    {
        QFile hive(registryRoot() + "/HKCU.reg");
        return hive.open(QIODevice::ReadOnly) ? QString::fromUtf8(hive.readAll()) : QString();
    }
    // Reads the process's output until a line, or the time runs out.
    static bool waitForOutput(QProcess& p, const QByteArray& line, QByteArray* output)
    {
        QDeadlineTimer deadline(30000);
        while (!deadline.hasExpired()) {
            *output += p.readAllStandardOutput();
            if (output->contains(line))
                return true;
            if (p.state() == QProcess::NotRunning)
                return false;
            p.waitForReadyRead(100);
        }
        return false;
    }
};
