#pragma once

// The main window's file dialog, kept as the windows use it: set the title,
// the proposed name, the filter ("All Files (*.*)|*.*"), the first folder
// and the flags, then show the Open or Save dialog; afterwards FileName holds
// the chosen path, or is empty when the operator cancelled. The dialogs
// themselves are the UI service's.

#include <QString>

class CommonDialog
{
public:
    QString DialogTitle;
    QString FileName;
    QString Filter;
    QString InitDir;
    qint32 Flags = 0;

    void ShowOpen();
    void ShowSave();

    // The folder a browser starts in when none is known: the user's home,
    // with its closing "/".
    static QString HomeFolder();
};
