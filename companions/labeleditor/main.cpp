// The stand-in label editor "P-touch EDITOR" (companions/labeleditor): a
// window with one label that the station drives over a local socket.
//
// Environment:
//   TARVO_LABEL_PDF   print into this PDF file instead of the default printer

#include "LabelEditorWindow.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    LabelEditorWindow window;
    if (!window.Listen())
        return 1;
    window.show();
    return app.exec();
}
