#pragma once

// The stand-in label editor's window, titled "P-touch EDITOR": one label,
// shown as its text and its file and place, driven by the keys the station
// sends over the local socket named after the title (the station's
// LocalLabelEditorLink says how a line looks). Each line is answered with the
// editor's clipboard after the keys.
//
// The keys it understands, as the station sends them:
//   Ctrl+O, Ctrl+V, Enter   open the label file named in the clipboard
//   Ctrl+A, Ctrl+V          replace the label's text with the clipboard
//   Ctrl+A, Ctrl+C          copy the label's text to the clipboard
//   Ctrl+A, Alt+E, S, arrow move the text one millimetre that way
//   Ctrl+P, Enter           print: into the PDF file TARVO_LABEL_PDF names,
//                           or to the default printer
//   Ctrl+S                  save the label to its file
//   Alt+F, X                exit
// Anything else is ignored (and said on stderr).

#include "LabelDocument.h"
#include "SendKeys.h"

#include <QMainWindow>

class QLabel;
class QLocalServer;
class QLocalSocket;

class LabelEditorWindow : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr const char* kTitle = "P-touch EDITOR";

    LabelEditorWindow();
    ~LabelEditorWindow() override;

    // Listens on the socket of its title; False (said on stderr) when it
    // cannot.
    bool Listen();
    // One line of keys with the clipboard that goes with them; the clipboard
    // after them.
    QString Take(const QString& keys, const QString& clipboard);

private:
    enum class Mode { Normal, OpenDialog, EditMenu, Move, PrintDialog, FileMenu };
    void press(const KeyStroke& stroke);
    void pressNormal(const KeyStroke& stroke);
    void print();
    void showLabel();
    void onConnection();
    void onLine(QLocalSocket* socket);

    LabelDocument m_label;
    QString m_clipboard;
    QString m_openName;
    bool m_allSelected = false;
    bool m_exitRequested = false;
    Mode m_mode = Mode::Normal;
    QLabel* m_text = nullptr;
    QLabel* m_place = nullptr;
    QLocalServer* m_server = nullptr;
};
