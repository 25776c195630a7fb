#pragma once

// A host of the run for tests: it records what the run asks of it (status
// and log lines, menus, option rows, buttons, prompts), and holds the
// station the run works on, with an engine of the test's own and two
// recording handler controls.

#include "../engine/TestEngineControl.h"

#include "engine/EngineCodes.h"
#include "engine/H950HdlrControl.h"
#include "engine/ManualHdlControl.h"
#include "engine/QXPgmrControl.h"
#include "mainwindow/Station.h"
#include "operation/OperationRun.h"
#include "platform/DispatchObject.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"

#include <QStringList>
#include <array>
#include <functional>
#include <memory>

// A handler control that records the calls it gets.
class RecordingControl : public DispatchObject
{
public:
    RecordingControl(const QString& className, MemberTable members, QStringList& log, const QString& prefix)
        : DispatchObject(className, std::move(members))
    {
        AnswerUndeclaredAsFake();
        for (const char* name : {"StartSession", "StopSession", "EnableHandlerGui", "AbortSession"}) {
            const int id = GetIDOfName(QLatin1String(name));
            if (id < 0)
                continue;
            On(id, [&log, prefix, name](InvokeKind, QVariantList& args) {
                QString line = prefix + QLatin1String(name);
                for (const QVariant& a : args)
                    line += QLatin1Char(' ') + a.toString();
                log << line;
                return QVariant();
            });
        }
    }
};

class FakeRunHost : public OperationRun::Host
{
public:
    FakeRunHost()
    {
        engine.Attach(std::unique_ptr<IDispatchControl>(fake = new TestEngineControl));
        autoHandler.Attach(std::make_unique<RecordingControl>(QString::fromLatin1(H950HdlrControl::ClassName),
                                                              H950HdlrControl::Members(), calls,
                                                              QStringLiteral("handler ")));
        manualHandler.Attach(std::make_unique<RecordingControl>(QString::fromLatin1(ManualHdlControl::ClassName),
                                                                ManualHdlControl::Members(), calls,
                                                                QStringLiteral("manual ")));
        bars.fill(0);
    }
    ~FakeRunHost() override { station.ReleaseProgrammerData(false); }

    void StatusLine(const QString& text) override { calls << "status " + text; }
    void LogLine(const QString& text) override { calls << "log " + text; }
    // The station's job configuration, made on first use: it reads the
    // settings, which only a test with its own registry may.
    ProgrammerClass& Data()
    {
        if (!data) {
            data = &station.pgmrData();
            data->blnDeviceSelected = true;
            data->udtHandlerType = 0;
        }
        return *data;
    }
    // The station's count as it stands, whatever it is (the run's tests
    // test the run, not the quantity rule).
    void SetCopies(qint32 copies) { station.LoadQuantity(copies); }
    int ProgressRowCount() const override { return int(bars.size()); }
    void SetProgressValue(int row, int value) override { bars[size_t(row)] = value; }
    int ProgressValue(int row) const override { return bars[size_t(row)]; }
    bool ProgressRowChecked(int row) const override { return rows[size_t(row)].check == CheckBoxValue::Ticked; }
    OperationRun::OptionRow Row(int row) const override
    {
        return row >= 0 && row < int(rows.size()) ? rows[size_t(row)] : OperationRun::OptionRow{};
    }
    qint32 CurrentAction() const override { return action; }
    qint32 ActionCount() const override { return actionCount; }
    QString SelectedTabCaption() const override { return tabCaption; }
    QList<bool> ProcRequired() const override { return procRequired; }
    qint32 DataPositionIndex() const override { return positionIndex; }
    qint32 BankIndex() const override { return bankIndex; }
    int SiteBoxCount() const override { return sites; }
    void ShowSiteStatus(int index, qint32 status, const QString& statusText, const QString& errorText) override
    {
        calls << QStringLiteral("site %1 %2 '%3' '%4'").arg(index).arg(status).arg(statusText, errorText);
    }
    qint32 ActiveCountShown() const override { return 0; }
    void UpdateButtonStates() override { calls << "buttons"; }
    void LockOptionSettings(bool locked) override
    {
        optionsLocked = locked;
        calls << QStringLiteral("lock %1").arg(locked);
    }
    void EnableMenu(bool enable) override
    {
        menuEnabled = enable;
        calls << QStringLiteral("menu %1").arg(enable);
    }
    bool ActionButtonAvailable() const override { return !data || !data->blnInAction; }
    void DisableStopButton() override { calls << "stop disabled"; }
    void SaveCheckBoxValues() override { calls << "save choices"; }
    void DisableCheckboxesAsNecessary() override { calls << "rebuild rows"; }
    void SetDisplayInfo() override {}
    void HideConcurrentFrame() override {}
    void ShowJobSummary() override
    {
        calls << "summary";
        if (onSummary)
            onSummary();
    }
    void AskJobID() override {}
    void SetOperationOptions() override { calls << "options"; }
    void UpdateFormCaption(bool) override { calls << "caption"; }
    void SetBufferSource(const QString& name, const QDateTime& date, qint16 type) override
    {
        bufferSource = QStringLiteral("%1 %2 %3").arg(name, date.date().toString(Qt::ISODate)).arg(type);
    }
    void PumpEvents() override { ++pumps; }
    void Sleep(qint32 seconds) override { calls << QStringLiteral("sleep %1").arg(seconds); }
    qint32 Prompt(const QString& text, qint32 buttons, const QString& title) override
    {
        prompts << QStringLiteral("%1|%2|%3").arg(text).arg(buttons).arg(title);
        return answers.isEmpty() ? vb::vbOK : answers.takeFirst();
    }

    Station station;
    QXPgmrControl& engine = station.QXProgrammer;
    TestEngineControl* fake = nullptr;
    H950HdlrControl& autoHandler = station.QXH950AutoHandler;
    ManualHdlControl& manualHandler = station.ConcurrentManualHandler;
    ProgrammerClass* data = nullptr;
    std::array<OperationRun::OptionRow, 17> rows{};
    std::array<int, 17> bars{};
    qint32 action = 1;
    qint32 actionCount = 9;
    QString tabCaption = QStringLiteral("Program");
    QList<bool> procRequired;
    qint32 positionIndex = -1;
    qint32 bankIndex = -1;
    int sites = 1;
    bool optionsLocked = false;
    bool menuEnabled = true;
    QString bufferSource;
    int pumps = 0;
    QStringList calls;
    QStringList prompts;
    QList<qint32> answers;
    std::function<void()> onSummary;
};
