#include "frmH950HdlrContainer.h"

#include "automation/CJobControlImpl.h"
#include "automation/CJobMonitorImpl.h"
#include "engine/H950HdlrControl.h"
#include "engine/QXPgmrControl.h"
#include "mainwindow/JobFiles.h"
#include "mainwindow/Station.h"
#include "mainwindow/frmMain.h"
#include "operation/TabStrip.h"
#include "operation/frmProgram.h"
#include "platform/AppInfo.h"
#include "platform/Companion.h"
#include "platform/EngineCall.h"
#include "settings/ProgrammerClass.h"
#include "settings/SettingsStore.h"
#include "shell/StartUp.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

using enginecall::Try;

frmProgram* OperationWindow()
{
    return gMainForm ? gMainForm->frmP : nullptr;
}

QString Text(const QVariantList& args, int i)
{
    return args.value(i).toString();
}

qint32 Long(const QVariantList& args, int i)
{
    return args.value(i).toInt();
}

void BlackBox(const QString& text)
{
    gMainForm->WriteLogInfo(text, true);
}

// The device's pin count: decimal, or hexadecimal after "0x"/"0X".
void RequestPinCount(Station& s, QVariantList& args)
{
    QString text;
    if (!Try([&] { text = s.QXProgrammer.DeviceConfigValue(QStringLiteral("algcfg.pin_count")); }))
        return;
    const bool hex = text.startsWith(QLatin1String("0x")) || text.startsWith(QLatin1String("0X"));
    bool ok = false;
    const qint32 count = hex ? text.mid(2).toInt(&ok, 16) : text.trimmed().toInt(&ok, 10);
    if (!ok) {
        // The handler keeps its own value rather than a made-up one.
        BlackBox(QStringLiteral("The device's pin count \"%1\" is not a number: the handler keeps %2.")
                     .arg(text)
                     .arg(Long(args, 0)));
        return;
    }
    args[0] = count;
}

void RequestActionRepeatable(Station&, QVariantList& args)
{
    frmProgram* p = OperationWindow();
    if (!p)
        return;
    const qint16 action = p->WhichAction(qint16(p->tabOperation->SelectedIndex()));
    args[0] = VbBool(p->ActionIsRepeatable(action));
}

void HandlerSerialNumberReport(Station& s, QVariantList& args)
{
    const QString serial = Text(args, 0);
    s.pgmrData().strSerialNumber = serial;
    SaveSettingValue(appinfo::App(), QStringLiteral("H950hdlr"), QStringLiteral("Serial Number"), serial);
}

void ReadSealbookValueRequest(Station& s, QVariantList& args)
{
    qint32 status = Long(args, 4);
    QString value;
    if (Try([&] {
            value =
                s.QXProgrammer.ReadSealbookValue(Text(args, 0), Text(args, 1), Text(args, 2), Long(args, 3), status);
        })) {
        args[4] = status;
        args[5] = value;
    }
}

void WriteSealbookValueRequest(Station& s, QVariantList& args)
{
    qint32 l1 = Long(args, 4);
    qint32 l2 = Long(args, 5);
    qint32 result = 0;
    if (Try([&] {
            result =
                s.QXProgrammer.WriteSealbookValue(Text(args, 0), Text(args, 1), Text(args, 2), Text(args, 3), l1, l2);
        })) {
        args[4] = l1;
        args[5] = l2;
        args[6] = result;
    }
}

struct HandlerRow
{
    const char* event;
    // Acts only while the main window lets events through (bEnableEvent).
    bool gated;
    // Needs the operation window (or the job configuration it holds): with
    // it unloaded the event does nothing.
    bool needsOperationWindow;
    void (*act)(Station& station, QVariantList& args);
};

const HandlerRow kRows[] = {
    {"SessionOperationBegan", true, true,
     [](Station&, QVariantList&) { OperationWindow()->ConcurrentOperationBegan(); }},
    {"HandlerStatusText11", false, false, [](Station&, QVariantList& a) { gMainForm->HandlerStatusText(Text(a, 0)); }},
    {"SiteStatusChanged", true, true,
     [](Station&, QVariantList& a) { OperationWindow()->SetSiteStatus(Long(a, 0), Long(a, 1), Long(a, 2)); }},
    {"SessionStarted", true, true,
     [](Station&, QVariantList&) {
         gMainForm->EnableMenu(false);
         OperationWindow()->HandlerSessionStarted();
     }},
    {"SessionStopped", true, true,
     [](Station&, QVariantList&) {
         OperationWindow()->HandlerSessionStopped();
         gMainForm->EnableMenu(true);
     }},
    {"HandlerQuantityChanged", true, false,
     [](Station& s, QVariantList& a) { s.SetQuantityText(QString::number(Long(a, 0))); }},
    // The quantity box checked again by its rule: the range, the count the
    // next run uses and the handler's own quantity brought in step.
    {"HandlerEvent16", true, false, [](Station& s, QVariantList&) { s.SetQuantityText(s.QuantityText()); }},
    {"HandlerEvent17", false, false, [](Station&, QVariantList&) { gMainForm->PrintLabel(); }},
    // The editor is started the same way whatever the handler's text says.
    {"InitLabelPrintRequest", false, false, [](Station&, QVariantList&) { gMainForm->InitLabelerPrint(); }},
    {"HandlerEvent19", false, false, [](Station&, QVariantList&) { gMainForm->SaveLabelFile(); }},
    {"HandlerEvent20", false, false, [](Station&, QVariantList& a) { gMainForm->MoveLabelText(Long(a, 0)); }},
    {"OpenLabelFileRequest", false, false, [](Station&, QVariantList& a) { gMainForm->OpenLabelFile(Text(a, 0)); }},
    {"HandlerEvent22", false, false, [](Station&, QVariantList&) { gMainForm->ExitPrintApp(); }},
    {"HandlerAbortCommand", false, true, [](Station&, QVariantList&) { OperationWindow()->AbortCommand(); }},
    {"RequestPinCount", false, false, RequestPinCount},
    // The result goes nowhere: the handler passed the value, not a place
    // for the answer.
    {"LoadSealbookAutoFileRequest", false, true,
     [](Station& s, QVariantList& a) {
         qint32 result = Long(a, 1);
         if (JobFiles* jobs = s.Jobs())
             jobs->LoadSKAutoFile(Text(a, 0), result);
     }},
    {"RequestFlag26", false, true,
     [](Station& s, QVariantList& a) { a[0] = qint32(s.pgmrData().strJobName.isEmpty() ? 0 : 1); }},
    {"HandlerEvent27", false, true,
     [](Station& s, QVariantList&) {
         bool ok = false;
         if (JobFiles* jobs = s.Jobs())
             jobs->ExecLoadJobCmd(0, QString(), ok);
     }},
    {"HandlerSerialNumberReport", false, true, HandlerSerialNumberReport},
    {"RequestActionRepeatable", false, true, RequestActionRepeatable},
    {"AskJobId", true, true, [](Station&, QVariantList&) { OperationWindow()->funcAskJobID(); }},
    {"StartPowerSupplyLog", false, true,
     [](Station&, QVariantList&) { OperationWindow()->Start_PowerSupplyLogFile(); }},
    {"RunStatisticsChanged", false, true,
     [](Station&, QVariantList& a) {
         OperationWindow()->UpdateJobRunStatistics(Long(a, 0), Long(a, 1), Long(a, 2), Long(a, 3), Long(a, 4),
                                                   double(Long(a, 5)));
     }},
    {"RequestEngineDirectory", false, false,
     [](Station& s, QVariantList& a) { Try([&] { a[0] = s.QXProgrammer.EngineDirectory(); }); }},
    {"RequestLabelPrinterDirectory", false, false,
     [](Station& s, QVariantList& a) { Try([&] { a[0] = s.QXProgrammer.LabelPrinterDirectory(); }); }},
    {"ReadSealbookValueRequest", false, false, ReadSealbookValueRequest},
    {"ReadSealbookLongRequest", false, false,
     [](Station& s, QVariantList& a) {
         Try([&] { a[3] = s.QXProgrammer.ReadSealbookLong(Text(a, 0), Text(a, 1), Text(a, 2)); });
     }},
    {"WriteSealbookValueRequest", false, false, WriteSealbookValueRequest},
    {"ReadSealbookStringRequest", false, false,
     [](Station& s, QVariantList& a) {
         Try([&] { a[3] = qint32(s.QXProgrammer.ReadSealbookString(Text(a, 0), Text(a, 1), Text(a, 2)).toInt()); });
     }},
    {"EnableOperationsRequest", false, true,
     [](Station&, QVariantList& a) {
         const bool enable = IsVbTrue(a.value(0));
         gMainForm->EnableMenu(enable);
         OperationWindow()->EnableOperations(enable);
     }},
    {"RepeatCommandRequest", true, true,
     [](Station&, QVariantList& a) { a[1] = OperationWindow()->RepeatCommandOnSite(Long(a, 0)); }},
    {"HandlerEvent42", true, false, [](Station&, QVariantList&) { gMainForm->SafeDoEvents(); }},
    {"RequestFlag43", false, true, [](Station& s, QVariantList& a) { a[0] = VbBool(s.pgmrData().blnDeviceSelected); }},
    {"JobComplete", false, false,
     [](Station&, QVariantList& a) { CJobControlImpl::Instance().HandlerJobComplete(Long(a, 0)); }},
    {"EnableHandlerButton", false, true,
     [](Station&, QVariantList& a) { OperationWindow()->btnStop->setEnabled(IsVbTrue(a.value(0))); }},
    {"HandlerMessage46", false, true,
     [](Station& s, QVariantList& a) {
         qint32 result = Long(a, 1);
         if (JobFiles* jobs = s.Jobs())
             jobs->SaveSKAutoFile(Text(a, 0), result, Long(a, 2) != 0);
     }},
};

} // namespace

frmH950HdlrContainer::frmH950HdlrContainer(Station& station, QWidget* parent)
    : QWidget(parent),
      m_station(station)
{
    setObjectName(QStringLiteral("frmH950HdlrContainer"));
    hide();
}

frmH950HdlrContainer::~frmH950HdlrContainer() = default;

std::unique_ptr<IDispatchControl> frmH950HdlrContainer::CreateHandler()
{
    auto control = companion::CreateControl(QString::fromLatin1(H950HdlrControl::ClassName));
    control->SetEventSink(this);
    return control;
}

void frmH950HdlrContainer::Fire(const QString& eventName, QVariantList& args)
{
    if (!gMainForm)
        return;
    for (const HandlerRow& row : kRows) {
        if (eventName != QLatin1String(row.event))
            continue;
        if (row.gated && !m_station.bEnableEvent)
            return;
        if (row.needsOperationWindow && !OperationWindow())
            return;
        row.act(m_station, args);
        return;
    }
}
