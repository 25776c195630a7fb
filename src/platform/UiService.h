#pragma once

// Every message box, input box, file, print and folder dialog and every modal
// window of the program goes through this one service. The Qt service shows
// real dialogs; the scripted service answers from a list, so tests, headless
// runs and scripted stations never hang on a box.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QDialog;
class PrintTarget;
class QWidget;

namespace vb {
// MsgBox button sets
constexpr int vbOKOnly = 0;
constexpr int vbOKCancel = 1;
constexpr int vbAbortRetryIgnore = 2;
constexpr int vbYesNoCancel = 3;
constexpr int vbYesNo = 4;
constexpr int vbRetryCancel = 5;
// icons
constexpr int vbCritical = 16;
constexpr int vbQuestion = 32;
constexpr int vbExclamation = 48;
constexpr int vbInformation = 64;
// default button
constexpr int vbDefaultButton1 = 0;
constexpr int vbDefaultButton2 = 256;
constexpr int vbDefaultButton3 = 512;
// answers
constexpr int vbOK = 1;
constexpr int vbCancel = 2;
constexpr int vbAbort = 3;
constexpr int vbRetry = 4;
constexpr int vbIgnore = 5;
constexpr int vbYes = 6;
constexpr int vbNo = 7;

// The answers of a button set, in the order of their buttons.
QList<int> ButtonAnswers(int buttons);
// The answer of the default button of a button set.
int DefaultAnswer(int buttons);
// The answer that backs out of a button set: Cancel, else No, else Abort;
// OK for a box of OK alone.
int CancelAnswer(int buttons);
} // namespace vb

// A common-dialog filter ("Text (*.txt)|*.txt|All Files (*.*)|*.*") as a Qt
// filter ("Text (*.txt);;All Files (*)"): "*.*" becomes "*", which also
// matches names without a dot, as it does on Windows.
QString QtFileFilter(const QString& commonDialogFilter);

struct FileDialogRequest
{
    QString title;
    QString filter; // Qt filter text, e.g. "Job files (*.qx);;All files (*)"
    QString initialDir;
    QString fileName; // proposed name
    // Save dialogs: the file type's extension without its dot ("qx"), added
    // to a name typed without one; empty: the name is taken as typed.
    QString defaultExtension;
};

// A saved file's name with the type's extension when its own name (not its
// folder's) has none: "job1" becomes "job1.qx"; "job1.bak", a name ending in
// "." and a folder are left as they are.
QString WithDefaultExtension(const QString& path, const QString& extension);

struct PrintDialogRequest
{
    QString title;
    bool hasSelection = false; // text is selected: the dialog offers (and proposes) printing only it
};

class UiService
{
public:
    virtual ~UiService() = default;

    // MsgBox: buttons is the VB value (button set + icon + default button);
    // the result is a VB answer (1 to 7).
    virtual int MsgBox(const QString& prompt, int buttons, const QString& title) = 0;
    // InputBox: returns the typed text, or "" when the operator cancelled (as
    // VB does); cancelled tells the two apart for callers that care.
    virtual QString InputBox(const QString& prompt, const QString& title, const QString& defaultText,
                             bool* cancelled = nullptr) = 0;
    // File dialogs: the chosen path, or "" when cancelled.
    virtual QString GetOpenFileName(const FileDialogRequest& request) = 0;
    // The path to save to, with the request's default extension added where
    // the operator typed none; "" when cancelled.
    QString GetSaveFileName(const FileDialogRequest& request);
    virtual QString BrowseForFolder(const QString& prompt, const QString& initialDir) = 0;
    // Print dialog: sets up the target (a printer by name, or a PDF file)
    // and answers True when the operator confirmed printing. The range is
    // the selection when the operator chose to print the selection.
    virtual bool ShowPrinter(PrintTarget& target, const PrintDialogRequest& request) = 0;
    // The same for a caller that only asks whether to print (False when the
    // print support cannot be loaded).
    bool ShowPrinter(const QString& title);
    // Shows a window modally and returns QDialog::exec's result.
    virtual int ShowModal(QDialog* dialog) = 0;

    // The station is closing (shutdown::Request): every box or dialog that
    // waits ends now, a message box with its default answer, any other dialog
    // as cancelled. Boxes opened while shutdown::Requested() answer the same
    // at once. A service that never waits has nothing to end.
    virtual void EndOpenBoxes() {}
    // The job that waits in the open boxes is ended (a client's Abort, or
    // its client left): every box or dialog that waits ends now, a message
    // box with its cancel answer (vb::CancelAnswer), any other dialog as
    // cancelled, so the handler that opened it takes its cancel way.
    virtual void CancelOpenBoxes() {}

protected:
    // The save dialog itself: the name as the operator gave it (a dialog
    // that knows the default extension may add it before it asks whether
    // to replace a file).
    virtual QString AskSaveFileName(const FileDialogRequest& request) = 0;
};

// The process-wide service. Until one is installed the Qt service is used,
// or the scripted one when TARVO_UI_SCRIPT is set (see UiScript).
UiService& Ui();
// Installs a service; returns the previous one (tests restore it).
std::unique_ptr<UiService> SetUi(std::unique_ptr<UiService> service);
