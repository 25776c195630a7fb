// The simulated engine's remaining members:
//
//   the journal        every put and call the host makes, one line each
//                      ("Name=value", "Name(a,b)"), taken by tests through
//                      TarvoQXPgmrTakeJournal (QXPgmrTestHook.h)
//   devices per model  a device that only some models run; selecting it by
//                      name on another model fails as an unknown device does
//                      (-1), with a status text saying why. Every device not
//                      in the table runs on every model.
//   RunExtraCommand(index, name, value)
//                      with no name: the selected device's extra command at
//                      index (ExtraCommandNameAt); with a name: that extra
//                      command, or one of the engine's own two:
//                        "DisplayRadix"  value "HEX" or "DEC" (nothing: the
//                                        other one) sets DisplayRadix and
//                                        reports it (UpdateJobSetting33)
//                        "FillBuffer"    value a hexadecimal byte (nothing:
//                                        FF) fills the whole shared buffer
//                                        (DataBuffer) with it
//                      Each says what it did as a status text and answers 0;
//                      a device's command then raises
//                      DeviceConfigurationChanged, after the call has
//                      returned (from the event loop), never inside it;
//                      a value it cannot read answers 2. An index or a name
//                      it does not know is an automation error, as is the
//                      fault plan's "extra" entry.
//   Show... dialogs    ShowDeviceInfo, ShowNandOptions, ShowSiteNumberAssignment,
//                      ShowSocketModuleCounter, ShowSocketModuleInfo and
//                      ShowPowerSupplyDialog: each a small modal dialog whose
//                      object name is the member's name, shown through the UI
//                      service; the fault plan's "dialog.<member>" entry makes
//                      the call fail with that code once the dialog is closed.
//   ToolsOption1013    reading it shows the engine's options dialog (object
//                      name "ToolsOption1013"): a check box each for the beep
//                      (chkBeep, ToolsOption66), the elapsed time
//                      (chkElapsedTime, 68), matching chip pins and socket
//                      (chkMatchChipPinAndSocket, 278) and the memory
//                      integrity check (chkMemoryIntegrityCheck, 327). OK
//                      keeps the boxes and answers 1, Cancel keeps nothing
//                      and answers 0.

#include "QXPgmrStandIn.h"

#include "FaultPlan.h"

#include "platform/UiService.h"
#include "qxbuffer/DataBuffer.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>
#include <QWidget>

namespace {

// A window manager draws the title beside the window's icon and its
// buttons: a dialog narrower than that gets its title cut in the middle
// ("Socke…le Info"). The width a title bar needs for the whole title, in a
// bold face (as title bars mostly draw it).
int TitleBarWidth(const QWidget& window)
{
    QFont font = window.font();
    font.setBold(true);
    const int bar = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    // The icon and three buttons, each about a bar's height square, and a
    // margin at either end.
    return QFontMetrics(font).horizontalAdvance(window.windowTitle()) + 4 * bar + 2 * bar / 2;
}

constexpr qint32 E_INVALIDARG = qint32(0x80070057u);
constexpr qint32 kJobParameterBadValue = 2;
constexpr int kJournalLines = 2000;

// The devices that run only on some models, and the models (by list
// position) that run them.
const struct
{
    const char* device;
    std::initializer_list<int> models;
} kDeviceModels[] = {
    {"NV29GL128-G", {10, 11, 12}}, // the gang flash: RG gang programmers only
};

QString ArgumentText(const QVariant& value)
{
    return value.typeId() == QMetaType::Bool ? QString::number(value.toBool() ? -1 : 0) : value.toString();
}

} // namespace

QStringList QXPgmrStandIn::TakeJournal()
{
    return std::exchange(m_journal, {});
}

QVariant QXPgmrStandIn::Invoke(int dispid, InvokeKind kind, QVariantList& args)
{
    if (kind != InvokeKind::PropertyGet) {
        const MemberInfo* member = FindMember(QXPgmrControl::Members(), dispid);
        const QString name = member ? QString::fromLatin1(member->name) : QString::number(dispid);
        QStringList values;
        for (const QVariant& arg : args)
            values << ArgumentText(arg);
        m_journal << (kind == InvokeKind::PropertyPut
                          ? name + QLatin1Char('=') + values.join(QLatin1Char(','))
                          : name + QLatin1Char('(') + values.join(QLatin1Char(',')) + QLatin1Char(')'));
        if (m_journal.size() > kJournalLines)
            m_journal.remove(0, m_journal.size() - kJournalLines);
    }
    if (dispid == QXPgmrId::SelectDeviceByName && kind == InvokeKind::Method && !args.isEmpty()) {
        const QString device = args.at(0).toString();
        for (const auto& entry : kDeviceModels) {
            if (device.compare(QLatin1String(entry.device), Qt::CaseInsensitive) == 0
                && std::find(entry.models.begin(), entry.models.end(), m_modelIndex) == entry.models.end()) {
                // Refused as an unknown device is: the station then settles
                // on no device (RefreshState202).
                m_selectionFailed = true;
                QVariantList text{QStringLiteral("The %1 does not run the %2.").arg(model().name, device)};
                Raise(QStringLiteral("StatusTextReported"), text);
                return QVariant(qint32(-1));
            }
        }
    }
    return DispatchObject::Invoke(dispid, kind, args);
}

void QXPgmrStandIn::bindExtras()
{
    Answer(QXPgmrId::RunExtraCommand, [this](InvokeKind, QVariantList& args) {
        const qint32 index = Arg(args, 0, ValueKind::Long).toInt();
        const QString name = args.size() > 1 ? Arg(args, 1, ValueKind::String).toString() : QString();
        const QString value = args.size() > 2 ? Arg(args, 2, ValueKind::String).toString().trimmed() : QString();
        if (const qint32 fault = FaultPlan::Read(EngineFolder()).Code(QStringLiteral("extra")))
            Fail(fault, QStringLiteral("The extra command failed."));
        const QStringList commands = m_device ? m_device->extraCommands : QStringList();
        QString status;
        bool deviceCommand = false; // one of the device's own, not the engine's
        if (name.isEmpty()) {
            if (index < 0 || index >= commands.size())
                Fail(E_INVALIDARG, QStringLiteral("There is no extra command %1.").arg(index));
            status = QStringLiteral("%1 done.").arg(commands.at(index));
            deviceCommand = true;
        } else if (name.compare(QLatin1String("DisplayRadix"), Qt::CaseInsensitive) == 0) {
            const qint32 now = Stored(QXPgmrId::DisplayRadix).toInt();
            const QString upper = value.toUpper();
            if (!upper.isEmpty() && upper != QLatin1String("HEX") && upper != QLatin1String("DEC"))
                return QVariant(kJobParameterBadValue);
            const bool hex = upper.isEmpty() ? now == 0 : upper == QLatin1String("HEX");
            Store(QXPgmrId::DisplayRadix, qint32(hex ? 1 : 0));
            // The station keeps the radix with the job: it hears of the new one.
            RaiseEvent.UpdateJobSetting33(hex);
            status = hex ? QStringLiteral("Display radix set to hexadecimal.")
                         : QStringLiteral("Display radix set to decimal.");
        } else if (name.compare(QLatin1String("FillBuffer"), Qt::CaseInsensitive) == 0) {
            bool ok = true;
            const uint byte = value.isEmpty() ? 0xFF : value.toUInt(&ok, 16);
            if (!ok || byte > 0xFF)
                return QVariant(kJobParameterBadValue);
            // Every byte of the shared buffer becomes the value; what a later
            // clear fills with stays the buffer's own fill byte.
            DataBuffer& buffer = DataBuffer::Instance();
            const quint8 fill = buffer.FillByte();
            buffer.SetFillByte(quint8(byte));
            buffer.Clear();
            buffer.SetFillByte(fill);
            QVariantList none;
            Raise(QStringLiteral("BufferCleared"), none);
            status = QStringLiteral("Buffer filled with %1.")
                         .arg(QString::number(byte, 16).rightJustified(2, QLatin1Char('0')).toUpper());
        } else {
            const auto known = std::find_if(commands.begin(), commands.end(), [&](const QString& c) {
                return c.compare(name, Qt::CaseInsensitive) == 0;
            });
            if (known == commands.end())
                Fail(E_INVALIDARG, QStringLiteral("There is no extra command \"%1\".").arg(name));
            status = QStringLiteral("%1 done.").arg(*known);
            deviceCommand = true;
        }
        QVariantList text{status};
        Raise(QStringLiteral("StatusTextReported"), text);
        // The device's command changed its configuration: the station
        // rebuilds its window for it once the call that asked has returned.
        if (deviceCommand)
            RaiseAfterCall(QStringLiteral("DeviceConfigurationChanged"), {});
        return QVariant(qint32(0));
    });

    // The engine's own dialogs: what each shows.
    using Lines = std::function<QStringList()>;
    const struct
    {
        int dispid;
        const char* member;
        const char* title;
        Lines lines;
    } dialogs[] = {
        {QXPgmrId::ShowDeviceInfo, "ShowDeviceInfo", "Device Info",
         [this] {
             if (!m_device)
                 return QStringList{QStringLiteral("No Device Selected")};
             return QStringList{m_device->Name(), m_device->summary.package,
                                QStringLiteral("%1 words").arg(m_device->size)};
         }},
        {QXPgmrId::ShowNandOptions, "ShowNandOptions", "NAND Options",
         [] {
             return QStringList{QStringLiteral("Bad block handling: skip"), QStringLiteral("Spare area: off")};
         }},
        {QXPgmrId::ShowSiteNumberAssignment, "ShowSiteNumberAssignment", "Site Number Assignment",
         [this] {
             QStringList lines;
             for (int site = 1; site <= model().siteCount; ++site)
                 lines << QStringLiteral("Socket %1: site %1").arg(site);
             return lines;
         }},
        {QXPgmrId::ShowSocketModuleCounter, "ShowSocketModuleCounter", "Socket Module Counter",
         [this] {
             QStringList lines;
             const int perModule = std::max(1, model().sitesPerGroup);
             for (int module = 1; module <= (model().siteCount + perModule - 1) / perModule; ++module)
                 lines << QStringLiteral("Module %1: 0 insertions").arg(module);
             return lines;
         }},
        {QXPgmrId::ShowSocketModuleInfo, "ShowSocketModuleInfo", "Socket Module Info",
         [this] {
             return QStringList{model().name,
                                QStringLiteral("%1 sites, %2 a module")
                                    .arg(model().siteCount)
                                    .arg(std::max(1, model().sitesPerGroup))};
         }},
        {QXPgmrId::ShowPowerSupplyDialog, "ShowPowerSupplyDialog", "Power Supply",
         [] {
             return QStringList{QStringLiteral("VCC 5.00 V"), QStringLiteral("VPP 12.00 V")};
         }},
    };
    for (const auto& d : dialogs) {
        const QString member = QString::fromLatin1(d.member);
        const QString title = QString::fromLatin1(d.title);
        Answer(d.dispid, [this, member, title, lines = d.lines](InvokeKind, QVariantList&) {
            QDialog dialog(QWidget::find(WId(m_mainWindowHandle)));
            dialog.setObjectName(member);
            dialog.setWindowTitle(title);
            auto* layout = new QVBoxLayout(&dialog);
            auto* text = new QLabel(lines().join(QLatin1Char('\n')), &dialog);
            text->setObjectName(QStringLiteral("lblInfo"));
            layout->addWidget(text);
            auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
            QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
            layout->addWidget(buttons);
            dialog.setMinimumWidth(TitleBarWidth(dialog));
            Ui().ShowModal(&dialog);
            if (const qint32 fault = FaultPlan::Read(EngineFolder()).Code(QStringLiteral("dialog.") + member))
                Fail(fault, QStringLiteral("%1 failed.").arg(title));
            return QVariant();
        });
    }
}

void QXPgmrStandIn::bindOptionsDialog()
{
    Answer(QXPgmrId::ToolsOption1013, [this](InvokeKind, QVariantList&) {
        const struct
        {
            const char* box;
            const char* text;
            int dispid;
        } options[] = {
            {"chkBeep", "Beep when an operation ends", QXPgmrId::ToolsOption66},
            {"chkElapsedTime", "Show the elapsed time", QXPgmrId::ToolsOption68},
            {"chkMatchChipPinAndSocket", "Match chip pins and socket", QXPgmrId::ToolsOption278},
            {"chkMemoryIntegrityCheck", "Memory integrity check", QXPgmrId::ToolsOption327},
        };
        QDialog dialog(QWidget::find(WId(m_mainWindowHandle)));
        dialog.setObjectName(QStringLiteral("ToolsOption1013"));
        dialog.setWindowTitle(QStringLiteral("Options"));
        auto* layout = new QVBoxLayout(&dialog);
        QList<QCheckBox*> boxes;
        for (const auto& o : options) {
            auto* box = new QCheckBox(QString::fromLatin1(o.text), &dialog);
            box->setObjectName(QString::fromLatin1(o.box));
            box->setChecked(Stored(o.dispid).toInt() != 0);
            layout->addWidget(box);
            boxes << box;
        }
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        layout->addWidget(buttons);
        if (Ui().ShowModal(&dialog) != QDialog::Accepted)
            return QVariant(qint32(0));
        for (int i = 0; i < boxes.size(); ++i) {
            const bool on = boxes.at(i)->isChecked();
            // The match option is a number (1/0), the others Booleans.
            Store(options[i].dispid,
                  options[i].dispid == QXPgmrId::ToolsOption278 ? QVariant::fromValue<qint16>(on ? 1 : 0) : VbBool(on));
        }
        return QVariant(qint32(1));
    });
}

extern "C" Q_DECL_EXPORT bool TarvoQXPgmrTakeJournal(IDispatchControl* control, QStringList* lines)
{
    auto* engine = dynamic_cast<QXPgmrStandIn*>(control);
    if (!engine || !lines)
        return false;
    *lines = engine->TakeJournal();
    return true;
}
