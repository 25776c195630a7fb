// The simulated engine's device runs: the option properties the station
// commits, the commands and sessions over sites, their events, results and
// the power-supply log, the fault plan's run entries and the start key.

#include "QXPgmrStandIn.h"

#include "RunResults.h"

#include "engine/EngineCodes.h"
#include "engine/QXPgmrControl.h"
#include "qxbuffer/DataBuffer.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <algorithm>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <utility>

namespace {

constexpr qint32 E_INVALIDARG = qint32(0x80070057u);
constexpr qint32 E_FAIL = qint32(0x80004005u);
// Not yet answered by the station's set-up handler.
constexpr qint32 kNoCommand = -2;
// The pump code comes at least this often while a step waits.
constexpr int kPumpMs = 20;
// A device image larger than this is kept at this size (the simulation needs
// no more to show a read).
constexpr qint64 kMaxImageBytes = 16 * 1024 * 1024;

bool Truthy(const QVariant& v)
{
    return v.typeId() == QMetaType::Bool ? v.toBool() : v.toLongLong() != 0;
}

// Raises with an argument list made here, so the typed raisers' row types
// (which the station may settle differently) do not bind the engine.
QVariantList EventArgs(std::initializer_list<QVariant> values)
{
    return QVariantList(values);
}

// Lets the time pass with the thread's events answered as they come (a
// client's call, a press of Stop), instead of sleeping through them to the
// next pump; returns early once an abort is asked for.
void Idle(int milliseconds, const bool& abortRequested)
{
    if (!QAbstractEventDispatcher::instance()) {
        QThread::msleep(unsigned(milliseconds));
        return;
    }
    QTimer slice;
    slice.setSingleShot(true);
    slice.setTimerType(Qt::PreciseTimer);
    slice.start(milliseconds);
    while (slice.isActive() && !abortRequested)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace

void QXPgmrStandIn::bindOptions()
{
    // The option properties answer what the engine derives from what was
    // written: an ID check reports its selection mode 1 (ID), an automatic
    // selection (2) includes the ID check.
    Answer(QXPgmrId::AutoSelection, [this](InvokeKind kind, QVariantList& args) {
        if (kind == InvokeKind::PropertyPut) {
            Store(QXPgmrId::AutoSelection, Coerce(ValueKind::Long, Arg(args, int(args.size()) - 1, ValueKind::Long)));
            return QVariant();
        }
        const qint32 written = Stored(QXPgmrId::AutoSelection).toInt();
        if (written == 0 && IsVbTrue(Stored(QXPgmrId::IdCheck)))
            return QVariant(qint32(1));
        return QVariant(written);
    });
    Answer(QXPgmrId::IdCheck, [this](InvokeKind kind, QVariantList& args) {
        if (kind == InvokeKind::PropertyPut) {
            Store(QXPgmrId::IdCheck, Coerce(ValueKind::Bool, Arg(args, int(args.size()) - 1, ValueKind::Bool)));
            return QVariant();
        }
        return VbBool(IsVbTrue(Stored(QXPgmrId::IdCheck)) || Stored(QXPgmrId::AutoSelection).toInt() == 2);
    });
    // The blank-check row offers the blank check or the illegal-bit check;
    // the one committed last is the one a blank-check command runs.
    Answer(QXPgmrId::SetIllegalBit, [this](InvokeKind, QVariantList& args) {
        m_illegalBit = Arg(args, 0, ValueKind::Long).toInt() != 0;
        m_illegalBitLast = m_illegalBit;
        return QVariant();
    });
    Answer(QXPgmrId::BlankCheckOption, [this](InvokeKind kind, QVariantList& args) {
        if (kind != InvokeKind::PropertyPut)
            return Stored(QXPgmrId::BlankCheckOption);
        const QVariant value = Coerce(ValueKind::Bool, Arg(args, int(args.size()) - 1, ValueKind::Bool));
        Store(QXPgmrId::BlankCheckOption, value);
        if (IsVbTrue(value))
            m_illegalBitLast = false;
        return QVariant();
    });
    Answer(QXPgmrId::DeviceSupportsIllegalBitAlt, [this](InvokeKind, QVariantList&) { return VbBool(m_illegalBit); });
}

void QXPgmrStandIn::bindRuns()
{
    Answer(QXPgmrId::BeginOperation, [this](InvokeKind, QVariantList&) {
        // A run starts afresh: its plan, its device count, no power-supply
        // log until the station hands its folder again.
        readRunPlan(false);
        m_psLog.SetFolder(QString());
        m_psWarned = false;
        // A BeginOperation from inside a device call is a second job the
        // station refuses: the running one has started already.
        if (!m_running)
            m_runStarting = true;
        return QVariant();
    });
    Answer(QXPgmrId::FinishRunReport, [this](InvokeKind, QVariantList&) {
        reportRun();
        return QVariant();
    });
    Answer(QXPgmrId::ExecuteDeviceCommand, [this](InvokeKind, QVariantList& args) {
        failIfPlanned(QStringLiteral("ExecuteDeviceCommand"));
        return QVariant(executeDeviceCommand(Arg(args, 0, ValueKind::Long).toInt()));
    });
    Answer(QXPgmrId::RunOperation, [this](InvokeKind, QVariantList& args) {
        failIfPlanned(QStringLiteral("RunOperation"));
        return QVariant(runOperation(Arg(args, 0, ValueKind::Long).toInt()));
    });
    Answer(QXPgmrId::RunCustomAction, [this](InvokeKind, QVariantList& args) {
        failIfPlanned(QStringLiteral("RunCustomAction"));
        runCustomAction(Arg(args, 0, ValueKind::String).toString());
        return QVariant();
    });
    Answer(QXPgmrId::RepeatSiteCommand, [this](InvokeKind, QVariantList& args) {
        failIfPlanned(QStringLiteral("RepeatSiteCommand"));
        return QVariant(repeatSiteCommand(Arg(args, 0, ValueKind::Long).toInt()));
    });
    Answer(QXPgmrId::MarkSiteReady, [this](InvokeKind, QVariantList& args) {
        failIfPlanned(QStringLiteral("MarkSiteReady"));
        const qint32 site = Arg(args, 0, ValueKind::Long).toInt();
        if (!siteExists(site))
            return QVariant(RunResult::InvalidSite);
        // A new device waits in the site: it is blank.
        Site& s = m_sites[site - 1];
        s.status = SiteStatus::Ready;
        s.text = QStringLiteral("Ready");
        s.programmed = false;
        s.content.clear();
        return QVariant(RunResult::Passed);
    });
    Answer(QXPgmrId::MarkSiteFinished, [this](InvokeKind, QVariantList& args) {
        failIfPlanned(QStringLiteral("MarkSiteFinished"));
        const qint32 site = Arg(args, 0, ValueKind::Long).toInt();
        if (!siteExists(site))
            return QVariant(RunResult::InvalidSite);
        Site& s = m_sites[site - 1];
        s.status = SiteStatus::Idle;
        s.text.clear();
        return QVariant(RunResult::Passed);
    });
    Answer(QXPgmrId::AbortOperation, [this](InvokeKind, QVariantList&) {
        // Only a running call is ended; an abort while idle is forgotten.
        if (m_running)
            m_abortRequested = true;
        return QVariant();
    });

    Answer(QXPgmrId::SiteStatusText, [this](InvokeKind, QVariantList& args) {
        const int index = Arg(args, 0, ValueKind::Long).toInt();
        return QVariant(index >= 0 && index < m_sites.size() ? m_sites.at(index).text : QString());
    });
    Answer(QXPgmrId::SiteErrorText, [this](InvokeKind, QVariantList& args) {
        return QVariant(RunResult::FailureText(Arg(args, 0, ValueKind::Long).toInt()));
    });
    Answer(QXPgmrId::ErrorMessageText, [this](InvokeKind, QVariantList& args) {
        // The results of loads and saves have codes of their own.
        const qint32 result = Arg(args, 0, ValueKind::Long).toInt();
        const QString fileText = fileErrorText(result);
        return QVariant(fileText.isEmpty() ? RunResult::ResultText(result) : fileText);
    });
    Answer(QXPgmrId::IsStopResult, [this](InvokeKind, QVariantList& args) {
        return VbBool(RunResult::IsStop(Arg(args, 0, ValueKind::Long).toInt()));
    });
    Answer(QXPgmrId::SetPowerSupplyLogFolder, [this](InvokeKind, QVariantList& args) {
        setPowerSupplyLogFolder(Arg(args, 0, ValueKind::String).toString());
        return QVariant();
    });
    Answer(QXPgmrId::SetGuiReady, [this](InvokeKind, QVariantList& args) {
        m_guiReady = IsVbTrue(Arg(args, 0, ValueKind::Bool));
        if (m_guiReady)
            tellPlanNotes();
        if (m_guiReady && !(m_startKey && m_startKey->isActive()))
            armStartKey();
        if (m_guiReady && !(m_moduleChange && m_moduleChange->isActive()))
            armModuleChange();
        return QVariant();
    });
}

void QXPgmrStandIn::resizeSites()
{
    m_sites.resize(qMax(1, model().siteCount));
}

void QXPgmrStandIn::readRunPlan(bool atLoad)
{
    QStringList unreadable;
    QStringList unknown;
    m_plan = RunPlan::From(FaultPlan::Read(EngineFolder()), unreadable, unknown);
    m_devicesInRun = 0;
    m_failingCalls = 0;
    if (atLoad) {
        m_startKeysLeft = m_plan.startKeyMs >= 0 ? m_plan.startKeyCount : 0;
        m_moduleChangePending = m_plan.moduleChangeMs >= 0;
    }
    for (const QString& entry : unreadable)
        m_planNotes.insert(entry,
                           QStringLiteral("The fault plan entry \"%1\" cannot be read; it plans nothing.").arg(entry));
    for (const QString& entry : unknown)
        m_planNotes.insert(entry,
                           QStringLiteral("The fault plan entry \"%1\" is unknown; it plans nothing.").arg(entry));
    // The database loads while the station starts: its notes wait for its
    // status list (InitializeEngine194 or SetGuiReady).
    if (!atLoad || m_guiReady)
        tellPlanNotes();
}

void QXPgmrStandIn::tellPlanNotes()
{
    // Once each, as a status line (which the station also logs): a box
    // would stop an unattended station on a mistyped entry.
    for (auto it = m_planNotes.cbegin(); it != m_planNotes.cend(); ++it) {
        if (m_reportedEntries.contains(it.key()))
            continue;
        m_reportedEntries.insert(it.key());
        std::fprintf(stderr, "QXPgmr: %s\n", qPrintable(it.value()));
        RaiseEvent.StatusTextReported(it.value());
    }
    m_planNotes.clear();
}

void QXPgmrStandIn::failIfPlanned(const QString& member)
{
    if (m_plan.failingMember != member)
        return;
    ++m_failingCalls;
    if (m_plan.failingCall == 0 || m_plan.failingCall == m_failingCalls)
        Fail(E_FAIL, QStringLiteral("The programmer did not accept %1 (fault plan).").arg(member));
}

RunOptions QXPgmrStandIn::committedOptions() const
{
    const auto flag = [this](int dispid) { return IsVbTrue(Stored(dispid)); };
    const auto passes = [this](int dispid) { return std::clamp(Stored(dispid).toInt(), 0, 2); };
    RunOptions o;
    o.continuity = flag(QXPgmrId::ContinuityCheck);
    o.idCheck = flag(QXPgmrId::IdCheck) || Stored(QXPgmrId::AutoSelection).toInt() == 2;
    o.erase = flag(QXPgmrId::EraseOption);
    o.blankCheck = flag(QXPgmrId::BlankCheckOption);
    o.illegalBit = m_illegalBit && m_illegalBitLast;
    o.verifyMode = passes(QXPgmrId::VerifyMode);
    o.testMode = passes(QXPgmrId::TestMode);
    o.secureMode = flag(QXPgmrId::SecureMode);
    o.secureWithTest = passes(QXPgmrId::SecureWithTest);
    o.secureAfterVerify = Stored(QXPgmrId::SecureAfterVerify).toInt();
    return o;
}

qint32 QXPgmrStandIn::executeDeviceCommand(qint32 command)
{
    // -1: the device checksum the station asks for while it sets up a
    // special command, from inside a set-up request: nothing to raise.
    if (command == -1)
        return RunResult::Passed;
    // One call at a time: a second one from inside an event is refused.
    if (m_running)
        return RunResult::InvalidCommand;
    if (!m_device)
        return RunResult::NoDevice;
    const QString what = runsteps::CommandName(command);
    if (what.isEmpty())
        return RunResult::InvalidCommand;
    if (command == runsteps::CustomCommand) {
        if (!m_customArmed)
            return RunResult::InvalidCommand;
        reportRunStart();
        return runDevice(m_masterSite, what, m_customSteps, true, false);
    }
    reportRunStart();
    return runDevice(m_masterSite, what, runsteps::For(command, committedOptions()), true, command == 5);
}

qint32 QXPgmrStandIn::runOperation(qint32 variant)
{
    if (m_running)
        return RunResult::InvalidCommand;
    if (!m_device)
        return RunResult::NoDevice;
    if (variant < 0 || variant >= m_device->programVariants.size())
        return RunResult::InvalidCommand;
    RunSteps steps;
    steps.Add(RunStep::Program, 5);
    reportRunStart();
    return runDevice(m_masterSite, m_device->programVariants.at(variant).name, steps, true, false);
}

void QXPgmrStandIn::reportRunStart()
{
    // Only the first device of the station's run: a later one must not
    // clear a Stop pressed between devices.
    if (!std::exchange(m_runStarting, false))
        return;
    RaiseEvent.ResetButtons(true);
    // The run works the master site's device; the other sites of the
    // programmer take no part in it.
    for (qint32 site = 1; site <= m_sites.size(); ++site) {
        if (site != m_masterSite)
            RaiseEvent.SiteInfo(site, SiteStatus::NotApplicable);
    }
}

void QXPgmrStandIn::reportRun()
{
    // The engine's record of a run the station ended, with the counts as
    // the station (or its automatic handler) keeps them.
    qint32 quantity = 0, boxQuantity = 0, passed = 0, failed = 0, idleSites = 0, left = 0;
    bool handlerValue = false;
    RaiseEvent.RequestHandlerQuantity(quantity);
    RaiseEvent.RequestQuantity(boxQuantity);
    RaiseEvent.RequestHandlerValue3(passed);
    RaiseEvent.RequestHandlerValue4(failed);
    RaiseEvent.RequestHandlerValue1(left);
    RaiseEvent.RequestHandlerValue2(idleSites);
    RaiseEvent.RequestHandlerValue15(handlerValue);
    RaiseEvent.LogMessage(QStringLiteral("Run report: quantity %1 (quantity box %2), %3 passed, %4 failed, %5 left, "
                                         "%6 sites idle, handler value 15 %7.")
                              .arg(quantity)
                              .arg(boxQuantity)
                              .arg(passed)
                              .arg(failed)
                              .arg(left)
                              .arg(idleSites)
                              .arg(handlerValue ? QStringLiteral("True") : QStringLiteral("False")));
    m_runStarting = false;
    RaiseEvent.ResetButtons(false);
}

void QXPgmrStandIn::runCustomAction(const QString& selection)
{
    // "@Name:1,0,1,": the action by its tab caption, then one choice per
    // procedure in the engine's order, each "1," or "0,".
    const auto refuse = [&](const QString& why) {
        m_customArmed = false;
        Fail(E_INVALIDARG, QStringLiteral("The custom action selection \"%1\" cannot be run: %2.").arg(selection, why));
    };
    if (!m_device)
        refuse(QStringLiteral("no device is selected"));
    if (!selection.startsWith(QLatin1Char('@')))
        refuse(QStringLiteral("it does not start with \"@\""));
    const qsizetype colon = selection.indexOf(QLatin1Char(':'));
    if (colon < 0)
        refuse(QStringLiteral("there is no \":\" after the action's name"));
    QString name = selection.mid(1, colon - 1);
    name.remove(QLatin1Char('&')); // an accelerator of the tab caption
    const DeviceRecord::CustomAction* action = nullptr;
    for (const DeviceRecord::CustomAction& a : m_device->customActions) {
        if (a.name.compare(name, Qt::CaseInsensitive) == 0)
            action = &a;
    }
    if (!action)
        refuse(QStringLiteral("the device %1 has no custom action \"%2\"").arg(m_device->Name(), name));
    QStringList choices = selection.mid(colon + 1).split(QLatin1Char(','));
    if (choices.last().isEmpty())
        choices.removeLast();
    else
        refuse(QStringLiteral("each choice must end in \",\""));
    for (const QString& c : choices) {
        if (c != QLatin1String("1") && c != QLatin1String("0"))
            refuse(QStringLiteral("\"%1\" stands where 1 or 0 is expected").arg(c));
    }
    if (choices.size() > action->procedures.size())
        refuse(QStringLiteral("%1 choices for the %2 procedures of \"%3\"")
                   .arg(choices.size())
                   .arg(action->procedures.size())
                   .arg(action->name));
    m_customSteps = RunSteps();
    for (int i = 0; i < action->procedures.size(); ++i) {
        // A required procedure always runs; a choice not given is off.
        const bool required = action->procedures.at(i).kind == QLatin1String("REQ");
        if (required || (i < choices.size() && choices.at(i) == QLatin1String("1")))
            m_customSteps.Add(RunStep::Custom, ProgressCode::FirstRow);
    }
    m_customArmed = true;
}

qint32 QXPgmrStandIn::repeatSiteCommand(qint32 site)
{
    if (m_running)
        return RunResult::InvalidCommand;
    if (!siteExists(site))
        return RunResult::InvalidSite;
    if (!m_device)
        return RunResult::NoDevice;
    // A session's sites, buttons and Stop belong to its handler.
    m_runStarting = false;
    // The station commits its options and answers the command to run, and
    // whether it is one of the device's execute variants.
    QVariantList setup = EventArgs({kNoCommand, VbBool(false), VbBool(false)});
    Raise(QStringLiteral("SetupOperationRequest"), setup);
    const qint32 command = setup.value(0).toInt();
    const bool special = Truthy(setup.value(1));
    const bool outOfRange = Truthy(setup.value(2));
    if (outOfRange)
        return RunResult::InvalidCommand;
    if (special) {
        if (command < 0 || command >= m_device->programVariants.size())
            return RunResult::InvalidCommand;
        RunSteps steps;
        steps.Add(RunStep::Program, 5);
        return runDevice(site, m_device->programVariants.at(command).name, steps, false, false);
    }
    const QString what = runsteps::CommandName(command);
    if (what.isEmpty() || (command == runsteps::CustomCommand && !m_customArmed))
        return RunResult::InvalidCommand;
    const RunSteps steps =
        command == runsteps::CustomCommand ? m_customSteps : runsteps::For(command, committedOptions());
    return runDevice(site, what, steps, false, command == 5);
}

qint32 QXPgmrStandIn::runDevice(int siteNumber, const QString& what, const RunSteps& steps, bool siteEvents,
                                bool isRead)
{
    // Whatever a handler throws, the engine is idle again afterwards.
    struct Running
    {
        bool& flag;
        explicit Running(bool& f)
            : flag(f)
        {
            flag = true;
        }
        ~Running() { flag = false; }
    } running(m_running);
    m_abortRequested = false;

    Site& site = m_sites[siteNumber - 1];
    const int device = ++m_devicesInRun;
    const PlannedFailure* planned = m_plan.devices.contains(device) ? &m_plan.devices[device]
        : m_plan.sites.contains(siteNumber)                         ? &m_plan.sites[siteNumber]
                                                                    : nullptr;
    const bool engineError = m_plan.engineErrorDevice == device;
    const QString prefix = QStringLiteral("Site %1: ").arg(siteNumber);
    const auto status = [this](const QString& text) {
        QVariantList args = EventArgs({text});
        Raise(QStringLiteral("StatusTextReported"), args);
    };
    const auto siteStatus = [this, siteEvents](qint32 state, qint32 code) {
        if (!siteEvents)
            return;
        QVariantList args = EventArgs({state, code});
        Raise(QStringLiteral("SiteStatusFromEngine"), args);
    };
    const auto progress = [this](qint32 code, qint32 value) {
        QVariantList args = EventArgs({code, value});
        Raise(QStringLiteral("OperationProgress"), args);
    };

    status(prefix + what + QStringLiteral(" started."));
    site.status = SiteStatus::Active;
    site.text = what + QStringLiteral("...");
    siteStatus(SiteStatus::Active, 0);
    progress(ProgressCode::Pump, 0);

    bool aborted = !wait(m_plan.deviceDelayMs + m_plan.siteDelayMs.value(siteNumber));
    bool stopped = false; // by the engine error
    qint32 failureCode = 0;
    const int quarterMs = m_plan.stepDelayMs / 4;
    for (const RunStep& step : steps) {
        if (aborted || stopped || failureCode)
            break;
        const bool failsHere = planned && planned->atStep && planned->step == step.kind;
        for (int quarter = 1; quarter <= 4; ++quarter) {
            if (!wait(quarterMs)) {
                aborted = true;
                break;
            }
            progress(step.progressCode, quarter * 25);
            if (quarter != 2)
                continue;
            // Halfway through its first step the device meets its fate.
            if (engineError) {
                QVariantList args =
                    EventArgs({QStringLiteral("The programmer on port %1 does not answer (site %2, %3).")
                                   .arg(m_port)
                                   .arg(siteNumber)
                                   .arg(what)});
                Raise(QStringLiteral("SysInfoMessage"), args);
                stopped = true;
                break;
            }
            if (failsHere) {
                failureCode = planned->code ? planned->code : runsteps::FailureCodeOf(step.kind);
                break;
            }
        }
        if (aborted || stopped || failureCode)
            break;
        QVariantList args = EventArgs({step.progressCode});
        Raise(QStringLiteral("OperationComplete"), args);
        if (step.kind == RunStep::Program) {
            // The device now holds the buffer: shared, not copied.
            site.content = bufferImage();
            site.programmed = true;
        } else if (step.kind == RunStep::Erase) {
            site.programmed = false;
            site.content.clear();
        }
        aborted = m_abortRequested;
    }
    aborted = aborted || m_abortRequested;
    if (!aborted && !stopped && !failureCode && engineError) {
        // A run without steps meets the engine error at its end.
        QVariantList args = EventArgs({QStringLiteral("The programmer on port %1 does not answer (site %2, %3).")
                                           .arg(m_port)
                                           .arg(siteNumber)
                                           .arg(what)});
        Raise(QStringLiteral("SysInfoMessage"), args);
        stopped = true;
    }
    if (!aborted && !stopped && !failureCode && planned && !planned->atStep)
        failureCode = planned->code;

    qint32 result = RunResult::Passed;
    if (aborted || stopped) {
        result = aborted ? RunResult::Aborted : RunResult::EngineError;
        site.status = SiteStatus::Idle;
        site.text.clear();
        siteStatus(SiteStatus::Idle, 0);
        status(prefix + what
               + (aborted ? QStringLiteral(" aborted.") : QStringLiteral(" stopped: programmer not responding.")));
    } else if (failureCode) {
        result = failureCode;
        site.status = SiteStatus::Failed;
        site.text = QStringLiteral("Failed");
        siteStatus(SiteStatus::Failed, failureCode);
        status(prefix + what + QStringLiteral(" failed: ") + RunResult::FailureText(failureCode) + QLatin1Char('.'));
    } else {
        if (isRead) {
            readIntoBuffer(site);
            QVariantList args = EventArgs({qint32(std::min<qint64>(DataBuffer::Instance().Size(), 0x7FFFFFFF))});
            Raise(QStringLiteral("BufferContentChanged"), args);
        }
        site.status = SiteStatus::Passed;
        site.text = QStringLiteral("Passed");
        siteStatus(SiteStatus::Passed, 0);
        status(prefix + what + QStringLiteral(" passed."));
    }
    writePowerSupplyLine(siteNumber, what, result, steps);
    return result;
}

bool QXPgmrStandIn::wait(int milliseconds)
{
    if (milliseconds <= 0)
        return !m_abortRequested;
    QElapsedTimer clock;
    clock.start();
    for (qint64 left = milliseconds; left > 0; left = milliseconds - clock.elapsed()) {
        if (m_abortRequested)
            return false;
        Idle(int(qMin<qint64>(kPumpMs, left)), m_abortRequested);
        QVariantList args = EventArgs({ProgressCode::Pump, qint32(0)});
        Raise(QStringLiteral("OperationProgress"), args);
    }
    return !m_abortRequested;
}

qint64 QXPgmrStandIn::deviceBytes() const
{
    return std::clamp<qint64>(deviceBufferBytes(), 0, kMaxImageBytes);
}

quint8 QXPgmrStandIn::blankByte() const
{
    // A blank device reads its virgin value (algcfg.virgin, else FF).
    bool ok = false;
    const QString virgin = m_device ? m_device->config.value(QStringLiteral("algcfg.virgin")) : QString();
    const uint value = virgin.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? virgin.mid(2).toUInt(&ok, 16) : 0;
    return ok ? quint8(value & 0xFF) : quint8(0xFF);
}

const QByteArray& QXPgmrStandIn::bufferImage()
{
    // What a device takes when it is programmed: the buffer's first bytes,
    // copied once for every device programmed until the buffer changes.
    const DataBuffer& buffer = DataBuffer::Instance();
    const qint64 size = std::min(deviceBytes(), buffer.Size());
    if (m_imageRevision != buffer.Revision() || m_image.size() != size) {
        m_image = buffer.Bytes(0, size);
        m_imageRevision = buffer.Revision();
    }
    return m_image;
}

void QXPgmrStandIn::readIntoBuffer(const Site& site)
{
    // The buffer takes the device's size and content: what was programmed,
    // and past it (or on a blank device) the virgin value. The virgin value
    // comes in as the fill of a clear, so a blank device costs no memory.
    DataBuffer& buffer = DataBuffer::Instance();
    resizeBuffer(deviceBufferBytes());
    const quint8 fill = buffer.FillByte();
    buffer.SetFillByte(blankByte());
    buffer.Clear();
    buffer.SetFillByte(fill);
    if (site.programmed)
        buffer.Write(0, reinterpret_cast<const quint8*>(site.content.constData()), site.content.size());
}

void QXPgmrStandIn::writePowerSupplyLine(int site, const QString& what, qint32 result, const RunSteps& steps)
{
    if (!m_psLog.IsOn())
        return;
    // The programming voltage is on only for steps that write the device.
    bool writes = false;
    for (const RunStep& step : steps)
        writes = writes || step.kind == RunStep::Program || step.kind == RunStep::Erase || step.kind == RunStep::Secure;
    const int icc = 18 + (m_devicesInRun % 7);
    if (!m_psLog.Append(QDateTime::currentDateTime(), site, what, result, 5000, writes ? 12500 : 0, icc)
        && !m_psWarned) {
        m_psWarned = true;
        warn(QStringLiteral("The power-supply log cannot be written to %1.").arg(m_psLog.Folder()));
    }
}

void QXPgmrStandIn::setPowerSupplyLogFolder(const QString& folder)
{
    m_psWarned = false;
    if (m_psLog.SetFolder(folder))
        return;
    m_psWarned = true;
    warn(QStringLiteral("The power-supply log cannot be written to %1.").arg(folder));
}

void QXPgmrStandIn::warn(const QString& text)
{
    // The station says whether it takes warnings now; one it does not take
    // still reaches its log.
    bool enabled = true;
    RaiseEvent.PgmrWarningMessagesEnabled(enabled);
    if (enabled)
        RaiseEvent.WarningMessage(text);
    else
        RaiseEvent.LogMessage(text);
}

void QXPgmrStandIn::armStartKey()
{
    if (m_plan.startKeyMs < 0 || m_startKeysLeft <= 0)
        return;
    if (!m_startKey) {
        m_startKey = std::make_unique<QTimer>();
        m_startKey->setSingleShot(true);
        QObject::connect(m_startKey.get(), &QTimer::timeout, m_startKey.get(), [this] { onStartKey(); });
    }
    m_startKey->start(m_plan.startKeyMs);
}

void QXPgmrStandIn::onStartKey()
{
    // The key counts from idle: while a call runs, while the station is
    // still starting (messages pumped before its main loop runs) or while a
    // modal box waits (a nested loop), it waits again.
    if (m_running || QThread::currentThread()->loopLevel() != 1) {
        m_startKey->start(m_plan.startKeyMs);
        return;
    }
    --m_startKeysLeft;
    QVariantList args;
    Raise(QStringLiteral("ExecuteOperationRequest"), args);
    armStartKey();
}

void QXPgmrStandIn::armModuleChange()
{
    if (!m_moduleChangePending)
        return;
    if (!m_moduleChange) {
        m_moduleChange = std::make_unique<QTimer>();
        m_moduleChange->setSingleShot(true);
        QObject::connect(m_moduleChange.get(), &QTimer::timeout, m_moduleChange.get(), [this] { onModuleChange(); });
    }
    m_moduleChange->start(m_plan.moduleChangeMs);
}

void QXPgmrStandIn::onModuleChange()
{
    // Like the start key, the exchange waits for an idle station: never
    // inside a call of the station's.
    if (m_running || QThread::currentThread()->loopLevel() != 1) {
        m_moduleChange->start(std::max(m_plan.moduleChangeMs, kPumpMs));
        return;
    }
    m_moduleChangePending = false;
    if (!m_device)
        return;
    const QString name = m_device->Name();
    selectDevice(name);
    RaiseEvent.StatusTextReported(
        QStringLiteral("The socket module was exchanged: the %1 is taken up again.").arg(name));
    RaiseEvent.ReloadForm(name);
}
