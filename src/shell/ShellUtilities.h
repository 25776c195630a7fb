#pragma once

// Small procedures the windows of every part of the program share: reading
// hexadecimal text typed by the operator, showing counters as unsigned
// numbers, creating folders, shortening a path to fit a box, asking whether a
// window is loaded, and the program's message box and icon.

#include <QString>
#include <QtGlobal>
#include <functional>

class QIcon;
class QImage;
class QLineEdit;
class QWidget;

// Hexadecimal text to a 32-bit number. "&H" (hexadecimal) and "&O" (octal)
// prefixes are read as such; any other text is read as hexadecimal digits.
// Values up to FFFF give 0 to 65535, larger ones the 32-bit two's complement
// (FFFFFFFF gives -1). Bad text shows the "Input Error" box and gives 0.
qint32 HexTextToLong(const QString& text);

// The bits of a 32-bit value read as an unsigned number.
double UnsignedToDouble(qint32 value);

// Creates every missing folder of a path ("/" and "\" both separate folders).
// Never fails loudly: True when the whole path exists afterwards.
bool CreateDirectoryPath(const QString& path);

// The path shortened in the middle (the file name kept) to fit a width in
// pixels, measured in the control's font. A width of -1 takes the text area
// of the text box (bTextBox True) or the control's width.
QString CompactPathToFit(const QString& path, QWidget* form, QWidget* control, bool bTextBox, int width);
// Shows the path in the text box, shortened to fit it.
void SetCompactPathText(QLineEdit* textBox, QWidget* form, const QString& path);

// Windows of the program, loaded (shown or hidden) under this object name,
// compared without regard to case.
qint32 CountLoadedForms(const QString& name);
bool IsFormLoaded(const QString& name);

// Where AppMsgBox sends its text while the engine asks for silence; the main
// window installs it when it loads.
struct MessageBoxRoute
{
    std::function<bool()> silent;                   // the engine's silent mode
    std::function<void(const QString&)> statusLine; // the status line and the log
};
void SetMessageBoxRoute(MessageBoxRoute route);

// The message box every window uses. While the route says silent the text
// goes to its status line instead, and OK (1) is returned whatever the
// buttons.
int AppMsgBox(const QString& prompt, int buttons = 0, const QString& title = QString(),
              const QString& helpFile = QString(), int context = 0);

// The program's icon (the "IDI_MAIN" picture of its resources), and its
// picture.
QIcon AppIcon();
QImage AppIconImage();

// The top of a window's owner chain.
QWidget* GetTopOwnerWindow(QWidget* window);
