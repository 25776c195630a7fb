#pragma once

// Label printing through the outside label editor "P-touch EDITOR": the main
// window's label members, each a short sequence of keys typed into the
// editor's window after bringing it forward, with file names and texts
// passed through the clipboard. Every sequence that has log lines writes
// them to the black-box log, one line a key sequence, before it is sent.
//
// Nothing here shows a box: a program that cannot be started, a window that
// cannot be brought forward and a direction it cannot move the text in are
// logged (the start also as a status line), and the keys are not sent.

#include <QString>

class LabelEditorLink;

class LabelPrinting
{
public:
    // What the label printing needs of the station.
    class Host
    {
    public:
        virtual ~Host() = default;
        // The engine's folder of the editor (LabelPrinterDirectory).
        virtual QString LabelPrinterDirectory() = 0;
        // The engine's IsVexalMode: the editor then runs in its own folder.
        virtual bool IsVexalMode() = 0;
        // The automatic handler's LabelerValue67: the newer editor program.
        virtual bool LabelerValue67() = 0;
        // A black-box line (time-stamped).
        virtual void WriteLogInfo(const QString& text) = 0;
        virtual void StatusLine(const QString& text) = 0;
    };

    static constexpr const char* kWindowTitle = "P-touch EDITOR";

    LabelPrinting(Host& host, LabelEditorLink& link)
        : m_host(host),
          m_link(link)
    {
    }

    // Starts the editor (only while enabled is True, the main window's
    // bLabelPrintEnabled).
    void InitLabelerPrint(bool enabled);
    void OpenLabelFile(const QString& fileName);
    void SetLabelerText(const QString& text);
    QString GetLabelText();
    // 0 up, 1 down, 2 left, 3 right.
    void MoveLabelText(int direction);
    void PrintLabel();
    void SaveLabelFile();
    void ExitPrintApp();

    // The editor's program file for the handler's choice.
    static QString ProgramPath(const QString& folder, bool newerEditor);

private:
    struct Keys
    {
        const char* keys;
        const char* logLine; // nullptr: not logged
    };
    // Brings the editor forward and sends the keys in order; False (logged)
    // when the window is not there or a sequence is not delivered.
    template <size_t N>
    bool send(const char* member, const Keys (&sequence)[N]);

    Host& m_host;
    LabelEditorLink& m_link;
};
