#pragma once

// How the station reaches the outside label editor: start its program,
// bring its window forward by title, hand it texts through the clipboard and
// type keys into it. The label printing (LabelPrinting) knows only this
// interface; the station's own link is LocalLabelEditorLink, tests record.

#include <QString>

class LabelEditorLink
{
public:
    virtual ~LabelEditorLink() = default;

    // Starts the program on its own (the station does not wait for it or own
    // it). An empty working folder keeps the station's; the station's own
    // current folder never changes. False with the reason when it cannot be
    // started.
    virtual bool Start(const QString& program, const QString& workingFolder, QString& reason) = 0;
    // Brings the window of that title forward so that the keys that follow
    // go to it. False with the reason when no such window answers.
    virtual bool Activate(const QString& title, QString& reason) = 0;
    // Types keys in the platform's send-keys notation ("^(O)", "{ENTER}", ...)
    // into the activated window. False when they could not be delivered.
    virtual bool SendKeys(const QString& keys) = 0;
    virtual void SetClipboard(const QString& text) = 0;
    virtual QString Clipboard() const = 0;
};
