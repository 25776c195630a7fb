#pragma once

// The station started in this process with its engine watched: every call
// the main window makes on the engine control is recorded (member, kind and
// arguments as sent), and the test may answer some members itself in place
// of the simulated engine.

#include "StationTest.h"

#include "engine/QXPgmrControl.h"
#include "mainwindow/frmMain.h"
#include "operation/frmProgram.h"
#include "platform/MemberTable.h"
#include "settings/ProgrammerClass.h"
#include "shell/StartUp.h"

#include <QHash>
#include <QLineEdit>
#include <QListWidget>
#include <QStringList>

// What the test sees of the engine: the calls made, and the answers it gives
// in place of the engine (a member answered here never reaches the engine).
struct EngineScript
{
    struct Call
    {
        int dispid;
        InvokeKind kind;
        QVariantList args;
    };
    std::vector<Call> calls;
    QHash<int, QVariant> answers;

    // The calls of the given members, in order, as text: "Name" for a read,
    // "Name=value" for a write, "Name(a, b)" for a method. Booleans read as
    // -1 and 0, as they go over the wire.
    QStringList Calls(std::initializer_list<int> members) const
    {
        QStringList out;
        for (const Call& c : calls) {
            if (std::find(members.begin(), members.end(), c.dispid) != members.end())
                out << Text(c);
        }
        return out;
    }
    QStringList All() const
    {
        QStringList out;
        for (const Call& c : calls)
            out << Text(c);
        return out;
    }

    static QString Text(const Call& c)
    {
        const MemberInfo* member = FindMember(QXPgmrControl::Members(), c.dispid);
        const QString name = member ? QString::fromLatin1(member->name) : QString::number(c.dispid);
        QStringList args;
        for (const QVariant& a : c.args)
            args << (a.typeId() == QMetaType::Bool ? QString::number(a.toBool() ? -1 : 0) : a.toString());
        switch (c.kind) {
        case InvokeKind::PropertyGet: return args.isEmpty() ? name : name + "[" + args.join(", ") + "]";
        case InvokeKind::PropertyPut: return name + "=" + args.join(", ");
        case InvokeKind::Method: return name + "(" + args.join(", ") + ")";
        }
        return name;
    }
};

// The engine control as the main window gets it: the simulated engine inside.
class ScriptedEngine : public IDispatchControl
{
public:
    ScriptedEngine(EngineScript& script, std::unique_ptr<IDispatchControl> engine)
        : m_script(script), m_engine(std::move(engine))
    {
    }
    QVariant Invoke(int dispid, InvokeKind kind, QVariantList& args) override
    {
        m_script.calls.push_back({dispid, kind, args});
        if (kind != InvokeKind::PropertyPut) {
            const auto answer = m_script.answers.constFind(dispid);
            if (answer != m_script.answers.constEnd())
                return *answer;
        }
        return m_engine->Invoke(dispid, kind, args);
    }
    int GetIDOfName(const QString& name) const override { return m_engine->GetIDOfName(name); }
    void SetEventSink(IEventSink* sink) override { m_engine->SetEventSink(sink); }
    QString ClassName() const override { return m_engine->ClassName(); }
    QWidget* Widget() override { return m_engine->Widget(); }

private:
    EngineScript& m_script;
    std::unique_ptr<IDispatchControl> m_engine;
};

class MainWindowTest : public StationTest
{
protected:
    void SetUp() override
    {
        StationTest::SetUp();
        frmMain::SetControlWrapper([this](std::unique_ptr<IDispatchControl> control) -> std::unique_ptr<IDispatchControl> {
            if (control->ClassName() == QLatin1String(QXPgmrControl::ClassName))
                return std::make_unique<ScriptedEngine>(engine, std::move(control));
            return control;
        });
    }
    void TearDown() override
    {
        StationTest::TearDown();
        frmMain::SetControlWrapper({});
        // Flags the command line only ever sets.
        gbGenerateDeviceList = false;
        gbVexalMode = false;
        gbChiseloEdition = false;
        SetRawCommandLineText(QString());
        SetCmdLineLogFile(QString());
    }

    // Starts the station with this command line.
    bool start(const QString& commandLine = {})
    {
        SetRawCommandLineText(commandLine);
        return StartApplication();
    }

    frmProgram& operationWindow() { return *gMainForm->frmP; }
    // The buffer counts as loaded from a file, and a save asks no checksum
    // question: what a job save needs of the station.
    void MarkBufferFromFile()
    {
        operationWindow().txtFile->setText(QStringLiteral("image.bin"));
        gMainForm->pgmrData().strFileName = QStringLiteral("image.bin");
        gMainForm->pgmrData().bRemindToVerifyChecksum = false;
    }
    // A started station with a device and a buffer that counts as loaded
    // from a file: ready to save jobs.
    bool StartReadyForJobs()
    {
        if (!start() || !operationWindow().SelectDevice(QStringLiteral("AM27C512")))
            return false;
        MarkBufferFromFile();
        return true;
    }
    QStringList statusLines()
    {
        QStringList lines;
        for (int i = 0; i < operationWindow().cboStatus->count(); ++i)
            lines << operationWindow().cboStatus->item(i)->text();
        return lines;
    }

    EngineScript engine;
};
