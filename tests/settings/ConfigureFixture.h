#pragma once

// The station started in this process with its engine wrapped: the test may
// answer engine reads itself, make a member fail as the engine would, and
// see every call the program made. The configuration dialog is opened on the
// running station as the Configure command opens it.

#include "StationTest.h"

#include "engine/QXPgmrControl.h"
#include "mainwindow/frmMain.h"
#include "operation/frmProgram.h"
#include "platform/AppInfo.h"
#include "platform/AutomationError.h"
#include "platform/MemberTable.h"
#include "settings/ProgrammerClass.h"
#include "settings/frmConfigure.h"
#include "shell/CommandLine.h"
#include "shell/StartUp.h"

#include <QFile>
#include <QHash>
#include <QSet>

#include <memory>

struct EngineFaults
{
    QHash<int, QVariant> answers;         // reads answered here
    QSet<int> failing;                    // puts and calls that fail as the engine's refusal
    QSet<int> failingReads;               // reads that fail so
    QList<int> calls;                     // every member called, in order
    QList<std::pair<int, QVariant>> puts; // every property put, with its value
};

class FaultyEngine : public IDispatchControl
{
public:
    FaultyEngine(EngineFaults& faults, std::unique_ptr<IDispatchControl> engine)
        : m_faults(faults),
          m_engine(std::move(engine))
    {
    }
    QVariant Invoke(int dispid, InvokeKind kind, QVariantList& args) override
    {
        m_faults.calls << dispid;
        if (kind == InvokeKind::PropertyPut)
            m_faults.puts.append({dispid, args.value(args.size() - 1)});
        const QSet<int>& failing = kind == InvokeKind::PropertyGet ? m_faults.failingReads : m_faults.failing;
        if (failing.contains(dispid))
            throw AutomationError(qint32(0x80004005u), QStringLiteral("QXPGMRLib.QXPgmr"),
                                  QStringLiteral("The programmer did not answer."));
        if (kind == InvokeKind::PropertyGet) {
            const auto answer = m_faults.answers.constFind(dispid);
            if (answer != m_faults.answers.constEnd())
                return *answer;
        }
        return m_engine->Invoke(dispid, kind, args);
    }
    int GetIDOfName(const QString& name) const override { return m_engine->GetIDOfName(name); }
    void SetEventSink(IEventSink* sink) override { m_engine->SetEventSink(sink); }
    QString ClassName() const override { return m_engine->ClassName(); }
    QWidget* Widget() override { return m_engine->Widget(); }

private:
    EngineFaults& m_faults;
    std::unique_ptr<IDispatchControl> m_engine;
};

class ConfigureTest : public StationTest
{
protected:
    void SetUp() override
    {
        StationTest::SetUp();
        frmMain::SetControlWrapper(
            [this](std::unique_ptr<IDispatchControl> control) -> std::unique_ptr<IDispatchControl> {
                if (control->ClassName() == QLatin1String(QXPgmrControl::ClassName))
                    return std::make_unique<FaultyEngine>(faults, std::move(control));
                return control;
            });
    }
    void TearDown() override
    {
        StationTest::TearDown();
        frmMain::SetControlWrapper({});
        gbChiseloEdition = false;
        SetCmdLineLogFile(QString());
        qunsetenv("TARVO_ENGINE_MODEL");
    }

    // Starts the station on a programmer model (by list position).
    bool start(int model)
    {
        qputenv("TARVO_ENGINE_MODEL", QByteArray::number(model));
        SetRawCommandLineText(QString());
        return StartApplication();
    }

    QXPgmrControl& engine() { return gMainForm->QXProgrammer; }
    ProgrammerClass& data() { return gMainForm->frmP->pgmrData(); }

    // A fresh dialog, loaded.
    std::unique_ptr<frmConfigure> open()
    {
        auto dialog = std::make_unique<frmConfigure>(gMainForm->station(), gMainForm);
        dialog->Form_Load();
        return dialog;
    }

    QString hiveFile() const { return registryRoot() + "/HKCU.reg"; }
    QString engineIni() const { return qEnvironmentVariable("XDG_DATA_HOME") + "/Corvane/QXEngine/engine.ini"; }
    static QByteArray bytes(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    EngineFaults faults;
};
