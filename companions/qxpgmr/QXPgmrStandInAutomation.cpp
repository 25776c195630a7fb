// The simulated engine's members behind the station's automation classes:
//
//   ApplyJobParameter(name, value)
//       sets one of the engine's job parameters (names and values compared
//       exactly) and answers 0, or 1 for a name it does not know, 2 for a
//       value it cannot read, 3 for a parameter the station cannot take now
//       (no device selected, the device has no such option, or a run is
//       going), 4 for a value outside what the device allows:
//         DeviceOptions.Operation        the tab a job runs, by its caption
//                                        without the accelerator ("Program");
//                                        the station decorates it
//                                        (RequestDecoratedTabName) and reads
//                                        it back as the job's active tab
//                                        (ReadSealbookValueEx); 4 when the
//                                        station has no such tab
//         DeviceOptions.<option>         an option by the name the
//                                        operation tabs show it, "ENABLE"
//                                        or "DISABLE", on a device that has
//                                        the option: "Blank Check", "Erase",
//                                        "Continuity", "Secure" (whatever
//                                        its variant's name), "Verify"
//                                        (verify once), and on a device
//                                        that verifies twice "Verify Once"
//                                        and "Verify Twice"; 4 for "Verify
//                                        Twice" on a device that verifies
//                                        once only
//       The names are the tabs' own, so that the station's refresh ticks or
//       clears the row the parameter names (the secure row through
//       RefreshGuiSecure, raised once a DeviceOptions.Secure is set). Once
//       the call has returned, the engine also tells the station the row of
//       a setting it changed: OperationOptionStateChanged(the job's tab, or
//       "Program" while no DeviceOptions.Operation named one; the option's
//       text; 1 or 0). The options are the engine's own settings: the next
//       run takes them and a job saved next holds them.
//   SiteToSocket(index, site, socket)
//       the client's site (1-based) and the socket in its module (1-based)
//       of a 0-based site index; an index the model does not have is an
//       automation error.
//   MonitorValue1005
//       the engine's system information: model, port, sites, engine and
//       algorithm database versions, one per line, then the automatic
//       handler's laser-marker lines (asked through GetLaserMarkerLines) and
//       last which of the station's automation objects a client holds
//       (asked through CJobCntrlInUse, CQxPgmrInUse and CJobMonitorInUse).

#include "QXPgmrStandIn.h"

#include <functional>

namespace {

constexpr qint32 E_INVALIDARG = qint32(0x80070057u);

// The results of ApplyJobParameter.
constexpr qint32 kParameterSet = 0;
constexpr qint32 kUnknownName = 1;
constexpr qint32 kBadValue = 2;
constexpr qint32 kNotNow = 3;
constexpr qint32 kValueNotAllowed = 4;

QString PortName(qint32 port, bool usb)
{
    if (port == 0)
        return QStringLiteral("DEMO");
    return usb ? QStringLiteral("USB") : QStringLiteral("LPT%1").arg(port);
}

QString VersionText(qint32 version)
{
    return QStringLiteral("%1.%2.%3").arg(version >> 16).arg((version >> 8) & 0xFF).arg(version & 0xFF);
}

} // namespace

qint32 QXPgmrStandIn::applyJobParameter(const QString& name, const QString& value)
{
    // Whether the option's setting in the engine changed.
    bool changed = false;
    // An option that is on or off, set on a device that has it.
    const auto onOff = [&](const char* capability, int dispid) -> qint32 {
        if (m_device->Capability(QLatin1String(capability)) == 0)
            return kNotNow;
        if (value != QLatin1String("ENABLE") && value != QLatin1String("DISABLE"))
            return kBadValue;
        const QVariant before = Stored(dispid);
        QVariantList put{VbBool(value == QLatin1String("ENABLE"))};
        DispatchObject::Invoke(dispid, InvokeKind::PropertyPut, put);
        changed = Stored(dispid) != before;
        return kParameterSet;
    };
    // The engine tells the station the option row it changed (a setting it
    // had already changes nothing): the option's text on the job's tab,
    // ticked or cleared.
    const auto tellOptionState = [&] {
        const QString option = name.mid(name.indexOf(QLatin1Char('.')) + 1);
        const QString tab = m_activeTabParameter.isEmpty() ? QStringLiteral("Program") : m_activeTabParameter;
        RaiseAfterCall(QStringLiteral("OperationOptionStateChanged"),
                       {tab, option, qint32(value == QLatin1String("ENABLE") ? 1 : 0)});
    };
    // Verifying once or twice; "DISABLE" verifies not at all.
    const auto verify = [&](qint32 passes) -> qint32 {
        if (m_device->Capability(QStringLiteral("VerifySupport")) == 0)
            return kNotNow;
        if (value != QLatin1String("ENABLE") && value != QLatin1String("DISABLE"))
            return kBadValue;
        const bool twice = m_device->Capability(QStringLiteral("DeviceSupportsVerifyTwice")) != 0;
        // The tabs offer "Verify" on a device that verifies once only, and
        // "Verify Once" beside "Verify Twice" on one that verifies twice.
        if (passes == 1 && (name == QLatin1String("DeviceOptions.Verify")) == twice)
            return kNotNow;
        if (passes == 2 && !twice)
            return kValueNotAllowed;
        const QVariant before = Stored(QXPgmrId::VerifyMode);
        QVariantList put{value == QLatin1String("ENABLE") ? passes : qint32(0)};
        DispatchObject::Invoke(QXPgmrId::VerifyMode, InvokeKind::PropertyPut, put);
        changed = Stored(QXPgmrId::VerifyMode) != before;
        return kParameterSet;
    };
    const struct
    {
        const char* name;
        std::function<qint32()> apply;
    } parameters[] = {
        {"DeviceOptions.Operation",
         [&]() -> qint32 {
             if (value.isEmpty())
                 return kBadValue;
             QVariantList ask{value, QString()};
             Raise(QStringLiteral("RequestDecoratedTabName"), ask);
             const QString caption = ask.value(1).toString();
             if (caption.isEmpty())
                 return kValueNotAllowed;
             m_activeTabParameter = caption;
             return kParameterSet;
         }},
        {"DeviceOptions.Verify", [&] { return verify(1); }},
        {"DeviceOptions.Verify Once", [&] { return verify(1); }},
        {"DeviceOptions.Verify Twice", [&] { return verify(2); }},
        {"DeviceOptions.Blank Check", [&] { return onOff("DeviceSupportsBlankCheck", QXPgmrId::BlankCheckOption); }},
        {"DeviceOptions.Erase", [&] { return onOff("DeviceSupportsErase", QXPgmrId::EraseOption); }},
        {"DeviceOptions.Secure",
         [&]() -> qint32 {
             const qint32 result = onOff("DeviceSupportsSecure", QXPgmrId::SecureMode);
             // The station's secure option follows the engine's setting.
             if (result == kParameterSet)
                 RaiseEvent.RefreshGuiSecure();
             return result;
         }},
        {"DeviceOptions.Continuity", [&] { return onOff("DeviceSupportsContinuity", QXPgmrId::ContinuityCheck); }},
    };
    for (const auto& p : parameters) {
        if (name != QLatin1String(p.name))
            continue;
        if (!m_device || m_running)
            return kNotNow;
        const qint32 result = p.apply();
        // The secure row follows RefreshGuiSecure.
        if (result == kParameterSet && changed && name != QLatin1String("DeviceOptions.Secure"))
            tellOptionState();
        return result;
    }
    return kUnknownName;
}

QString QXPgmrStandIn::systemInfo()
{
    // Which of the station's automation objects a client holds, as the
    // station answers.
    bool jobControl = false, programmer = false, monitor = false;
    RaiseEvent.CJobCntrlInUse(jobControl);
    RaiseEvent.CQxPgmrInUse(programmer);
    RaiseEvent.CJobMonitorInUse(monitor);
    const auto yesNo = [](bool held) { return held ? QStringLiteral("yes") : QStringLiteral("no"); };
    // What the automatic handler marks on its devices.
    QStringList marker;
    RaiseEvent.GetLaserMarkerLines(marker);
    marker.removeAll(QString());
    return QStringList{
        QStringLiteral("Programmer: %1").arg(model().name),
        QStringLiteral("Port: %1").arg(PortName(m_port, model().usb)),
        QStringLiteral("Sites: %1").arg(model().siteCount),
        QStringLiteral("Sockets per module: %1").arg(std::max(1, model().sitesPerGroup)),
        QStringLiteral("Engine: %1").arg(VersionText(Version)),
        QStringLiteral("Algorithm database: revision %1").arg(m_database.Revision()),
        QStringLiteral("Laser marker: %1")
            .arg(marker.isEmpty() ? QStringLiteral("no lines")
                                  : QLatin1Char('"') + marker.join(QStringLiteral("\" / \"")) + QLatin1Char('"')),
        QStringLiteral("Clients: job control %1, programmer %2, job monitor %3")
            .arg(yesNo(jobControl), yesNo(programmer), yesNo(monitor)),
    }
        .join(QStringLiteral("\r\n"));
}

void QXPgmrStandIn::bindAutomation()
{
    Answer(QXPgmrId::ApplyJobParameter, [this](InvokeKind, QVariantList& args) {
        return QVariant(
            applyJobParameter(Arg(args, 0, ValueKind::String).toString(), Arg(args, 1, ValueKind::String).toString()));
    });
    Answer(QXPgmrId::SiteToSocket, [this](InvokeKind, QVariantList& args) {
        const qint32 index = Arg(args, 0, ValueKind::Long).toInt();
        if (args.size() < 3)
            Fail(DISP_E_BADPARAMCOUNT, QStringLiteral("Invalid number of parameters."));
        if (index < 0 || index >= model().siteCount)
            Fail(E_INVALIDARG, QStringLiteral("The programmer has no site index %1.").arg(index));
        args[1] = QVariant::fromValue(qint32(index + 1));
        args[2] = QVariant::fromValue(qint32(index % std::max(1, model().sitesPerGroup) + 1));
        return QVariant();
    });
    Answer(QXPgmrId::MonitorValue1005, [this](InvokeKind, QVariantList&) { return QVariant(systemInfo()); });
}
