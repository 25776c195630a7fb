#include "SealbookModeTable.h"

#include <QAction>
#include <QObject>
#include <QWidget>

namespace {

using Rule = SealbookModeTable::Rule;

const SealbookModeTable::Row kRows[] = {
    {"mnuDefaultConfigure", Rule::Off, Rule::On},
    {"mnuLoadJob", Rule::OnUnlessAutomaticHandler, Rule::On},
    {"mnuSaveJob", Rule::Off, Rule::On},
    {"mnuSaveJobAs", Rule::Off, Rule::On},
    {"mnuSealbookConfigure", Rule::Off, Rule::On},
    {"mnuJobChangePassword", Rule::Off, Rule::On},
    {"cmdLoadJob", Rule::OffForAutomaticHandlerElseKeep, Rule::OnForAutomaticHandlerElseKeep},
    {"cmdSaveJob", Rule::Off, Rule::AsLoadJobButton},
    {"OpenDataPattern", Rule::Off, Rule::On},
    {"SaveDataPattern", Rule::Off, Rule::AsFileTypeWhenBufferFull},
    {"SaveDataPatternAs", Rule::Off, Rule::OnWhenBufferFull},
    {"DataPatternOptions", Rule::Off, Rule::On},
    {"ClearDataPattern", Rule::Off, Rule::On},
    // Last: its rule asks the engine about the device and the data file.
    {"EditDataPattern", Rule::Off, Rule::AsEditRule},
};

QObject* Find(QObject* root, const char* name)
{
    return root ? root->findChild<QObject*>(QString::fromLatin1(name)) : nullptr;
}

bool IsEnabled(QObject* control)
{
    if (auto* action = qobject_cast<QAction*>(control))
        return action->isEnabled();
    if (auto* widget = qobject_cast<QWidget*>(control))
        return widget->isEnabled();
    return false;
}

void SetEnabled(QObject* control, bool enabled)
{
    if (auto* action = qobject_cast<QAction*>(control))
        action->setEnabled(enabled);
    else if (auto* widget = qobject_cast<QWidget*>(control))
        widget->setEnabled(enabled);
}

} // namespace

std::span<const SealbookModeTable::Row> SealbookModeTable::Rows()
{
    return kRows;
}

void SealbookModeTable::Apply(Mode mode, const Context& context, QObject* root)
{
    const bool automatic = AutomaticHandler(context.handlerType);
    for (const Row& row : kRows) {
        QObject* control = Find(root, row.control);
        if (!control)
            continue;
        std::optional<bool> enabled;
        switch (mode == Mode::Operator ? row.operatorMode : row.supervisorMode) {
        case Rule::On: enabled = true; break;
        case Rule::Off: enabled = false; break;
        case Rule::OnUnlessAutomaticHandler: enabled = !automatic; break;
        case Rule::OffForAutomaticHandlerElseKeep:
            if (automatic)
                enabled = false;
            break;
        case Rule::OnForAutomaticHandlerElseKeep:
            if (automatic)
                enabled = true;
            break;
        case Rule::AsLoadJobButton: enabled = IsEnabled(Find(root, "cmdLoadJob")); break;
        case Rule::AsFileTypeWhenBufferFull:
            enabled = !context.bufferEmpty && context.fileTypeSavable && context.fileTypeSavable();
            break;
        case Rule::OnWhenBufferFull: enabled = !context.bufferEmpty; break;
        case Rule::AsEditRule: enabled = context.editAllowed && context.editAllowed(); break;
        }
        if (enabled)
            SetEnabled(control, *enabled);
    }
}

QString SealbookModeTable::EnterNewModeCaption(Mode current)
{
    return current == Mode::Operator ? QStringLiteral("&Enter Supervisor Mode")
                                     : QStringLiteral("&Enter Operator Mode");
}

const QStringList& SealbookModeTable::DeviceMenuItems()
{
    static const QStringList items{
        QStringLiteral("mnuSelectDevice"),      QStringLiteral("mnuDeviceSetsAndBanks"),
        QStringLiteral("mnuDeviceRange"),       QStringLiteral("mnuDeviceByteOrder"),
        QStringLiteral("mnuDeviceTestVectors"), QStringLiteral("mnuDeviceBufferOffset"),
        QStringLiteral("mnuDeviceNandOptions"),
    };
    return items;
}
