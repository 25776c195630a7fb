#pragma once

// The station's link to the label editor on Linux, where no program can type
// into another program's window: the editor listens on a local socket named
// after its window title, in $XDG_RUNTIME_DIR (or the temporary folder), and
// takes the keys as lines of send-keys notation. So only an editor that
// speaks this link can be driven (the stand-in companions/labeleditor does).
//
// One line a keystroke sequence, the station's clipboard text alongside:
//     <keys> TAB <clipboard, percent-encoded> LF
// answered by one line, the editor's clipboard after the keys:
//     <clipboard, percent-encoded> LF
// The answer becomes the station's clipboard (QClipboard too), which is how
// a copy in the editor reaches the station.

#include "mainwindow/LabelEditorLink.h"


class LocalLabelEditorLink : public LabelEditorLink
{
public:
    LocalLabelEditorLink();
    ~LocalLabelEditorLink() override;

    bool Start(const QString& program, const QString& workingFolder, QString& reason) override;
    bool Activate(const QString& title, QString& reason) override;
    bool SendKeys(const QString& keys) override;
    void SetClipboard(const QString& text) override;
    QString Clipboard() const override { return m_clipboard; }

    // The process id of the program last started; 0 when none.
    qint64 StartedProcessId() const { return m_pid; }
    // The socket an editor with this window title listens on.
    static QString SocketPath(const QString& title);

private:
    void Disconnect();
    // Reads up to the next line feed into line; false on time-out or end.
    bool ReadLine(QByteArray& line);

    // A plain local stream socket: the link blocks on each answer anyway,
    // and the station then needs no network library at start-up.
    int m_fd = -1;
    QByteArray m_pending;
    QString m_clipboard;
    qint64 m_pid = 0;
};
