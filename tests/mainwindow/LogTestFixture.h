#pragma once

// The logs and version texts run here without a main window: an engine of
// the test's own (stored values) is the host engine, its folder a fresh
// temporary one, and every test begins a new run of the program.

#include "TestEnv.h"

#include "../engine/TestEngineControl.h"
#include "engine/QXPgmrControl.h"
#include "mainwindow/BlackBoxLog.h"
#include "mainwindow/VersionStrings.h"
#include "settings/cRegistry.h"
#include "shell/StartUp.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

class LogTest : public TarvoTest
{
protected:
    void SetUp() override
    {
        TarvoTest::SetUp();
        m_savedMainForm = gMainForm;
        gMainForm = nullptr;
        m_control = new TestEngineControl();
        engine.Attach(std::unique_ptr<IDispatchControl>(m_control));
        engineFolder = tempPath(QStringLiteral("engine"));
        QDir(engineFolder).removeRecursively();
        m_control->Store(QXPgmrId::EngineDirectory, engineFolder);
        SetHostEngine(&engine);
        blackbox::RequestRotation();
        ResetExportLog();
    }

    void TearDown() override
    {
        SetHostEngine(nullptr);
        blackbox::SetJobHeaderSource({});
        blackbox::RequestRotation();
        ResetExportLog();
        gbChiseloEdition = false;
        SetCmdLineLogFile(QString());
        gMainForm = m_savedMainForm;
        TarvoTest::TearDown();
    }

    TestEngineControl& control() { return *m_control; }
    // The engine's packed version, its algorithm database revision and its
    // release and beta dates.
    void setEngineVersion(qint32 packed, qint32 revision = 0x2A, qint32 d1 = 20071015, qint32 d2 = 20071101)
    {
        m_control->Store(QXPgmrId::EngineVersion, packed);
        m_control->Store(QXPgmrId::AlgorithmDatabaseRevision, revision);
        m_control->Store(QXPgmrId::EngineDatePart1, d1);
        m_control->Store(QXPgmrId::EngineDatePart2, d2);
    }

    QString logFolder() const { return engineFolder + QStringLiteral("/DATALOG"); }
    QString logFile(const QString& name = QStringLiteral("BlackBox.log")) const { return logFolder() + "/" + name; }

public:
    static void setConfiguredLogFolder(const QString& folder)
    {
        cRegistry reg;
        reg.ValueEx(cRegistry::HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Corvane\\Tarvo\\Directory Paths"),
                    QStringLiteral("Log"), cRegistry::REG_SZ, QString(), folder);
    }

    static QByteArray readAll(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    // The lines of a file written with CR LF ends (the last, empty piece
    // after the final CR LF dropped).
    static QStringList lines(const QString& path)
    {
        QStringList parts = QString::fromUtf8(readAll(path)).split(QStringLiteral("\r\n"));
        if (!parts.isEmpty() && parts.last().isEmpty())
            parts.removeLast();
        return parts;
    }

    // "<month>/<day>/<year> <hour>:<minutes>:<seconds> AM|PM  <text>"
    static bool isStamped(const QString& line, const QString& text)
    {
        static const QRegularExpression stamp(
            QStringLiteral("^\\d{1,2}/\\d{1,2}/\\d{4} \\d{1,2}:\\d{2}:\\d{2} (AM|PM)  "));
        const QRegularExpressionMatch m = stamp.match(line);
        return m.hasMatch() && line.mid(m.capturedLength()) == text;
    }

protected:
    QXPgmrControl engine;
    QString engineFolder;

private:
    TestEngineControl* m_control = nullptr;
    frmMain* m_savedMainForm = nullptr;
};
