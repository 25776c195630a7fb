#pragma once

// What operator mode and supervisor mode of a locked job (Sealbook) do to the
// main window's job, Sealbook and data-pattern controls, as one table: for
// each control, by object name, the rule that gives its Enabled in each mode.
// The window hands in what the rules need and the object that holds the
// controls; the Device menu, the recent files, the handler and the operation
// window are the window's own steps around the table.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <span>

class QObject;

class SealbookModeTable
{
public:
    enum class Mode { Operator, Supervisor };

    // What a row gives a control's Enabled; the "Keep" rules leave it alone
    // for the handlers they do not name.
    enum class Rule {
        On,
        Off,
        OnUnlessAutomaticHandler,
        OffForAutomaticHandlerElseKeep,
        OnForAutomaticHandlerElseKeep,
        AsLoadJobButton,          // copies the job-load button as the rows before it left it
        AsFileTypeWhenBufferFull, // off for an empty buffer, else as the data file's type allows
        OnWhenBufferFull,
        AsEditRule, // as the Vexal and STAPL rule for editing the buffer allows
    };

    struct Row
    {
        const char* control;
        Rule operatorMode;
        Rule supervisorMode;
    };

    // What the rules depend on. The two questions go to the engine; each is
    // asked only when a row needs it, in the order of the rows.
    struct Context
    {
        qint32 handlerType = 0; // 0 manual, 1 and 2 the automatic handlers
        bool bufferEmpty = true;
        std::function<bool()> fileTypeSavable;
        std::function<bool()> editAllowed;
    };

    static std::span<const Row> Rows();

    // Applies the mode's rows, in order, to the controls (actions or widgets)
    // found by name under root. A name not found there is passed over.
    static void Apply(Mode mode, const Context& context, QObject* root);

    // The caption of the mode-switch item: it names the mode a click enters.
    static QString EnterNewModeCaption(Mode current);

    // The Device menu items that follow the mode, in the order they are set.
    static const QStringList& DeviceMenuItems();

    static bool AutomaticHandler(qint32 handlerType) { return handlerType == 1 || handlerType == 2; }
};
