#include "ShellUtilities.h"

#include "platform/AutomationError.h"
#include "platform/UiService.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QSet>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {

// The digits of a number literal; false when a character is no digit of the
// radix, there are none, or the value does not fit in 32 bits.
bool ParseDigits(const QString& digits, int radix, quint64* value)
{
    if (digits.isEmpty())
        return false;
    quint64 result = 0;
    for (const QChar c : digits) {
        const int digit = QStringLiteral("0123456789ABCDEF").indexOf(c);
        if (digit < 0 || digit >= radix)
            return false;
        result = result * quint64(radix) + quint64(digit);
        if (result > 0xFFFFFFFFull)
            return false;
    }
    *value = result;
    return true;
}

// QLineEdit keeps this many pixels free on each side of its text.
constexpr int kLineEditTextMargin = 2;

int TextAreaWidth(QWidget* control)
{
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.rect = edit->rect();
        option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
        option.midLineWidth = 0;
        option.state |= QStyle::State_Sunken;
        const QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
        return contents.marginsRemoved(edit->textMargins()).width() - 2 * kLineEditTextMargin;
    }
    return control->contentsRect().width();
}

// Keeps the file name and as much of the front of the path as fits, with an
// ellipsis in place of the rest of the folders.
QString CompactPath(const QString& path, const QFontMetrics& metrics, int width)
{
    if (metrics.horizontalAdvance(path) <= width)
        return path;
    const qsizetype separator = qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    if (separator < 0)
        return metrics.elidedText(path, Qt::ElideRight, width);
    const QString folders = path.left(separator);
    const QString fileName = path.mid(separator); // with its separator
    for (qsizetype keep = folders.size() - 1; keep >= 0; --keep) {
        const QString candidate = folders.left(keep) + QStringLiteral("...") + fileName;
        if (metrics.horizontalAdvance(candidate) <= width)
            return candidate;
    }
    // Not even the file name fits: shorten the name itself.
    return metrics.elidedText(path.mid(separator + 1), Qt::ElideRight, width);
}

} // namespace

qint32 HexTextToLong(const QString& text)
{
    if (text.isEmpty())
        return 0;
    const QString upper = text.toUpper();
    int radix = 16;
    QString digits = upper;
    bool known = true;
    if (upper.startsWith(QLatin1Char('&'))) {
        if (upper.startsWith(QLatin1String("&H")))
            radix = 16;
        else if (upper.startsWith(QLatin1String("&O")))
            radix = 8;
        else
            known = false;
        digits = upper.mid(2);
    }
    quint64 value = 0;
    if (!known || !ParseDigits(digits, radix, &value)) {
        // Callers put "&H" in front of what the operator typed: quote the typing.
        if (upper.size() >= 2)
            Ui().MsgBox(QStringLiteral("The data '") + upper.mid(2) + QStringLiteral("' is not valid! Please check your input"),
                        vb::vbCritical, QStringLiteral("Input Error"));
        return 0;
    }
    // Up to FFFF this is the plain value; above, the bits of a signed Long.
    return static_cast<qint32>(static_cast<quint32>(value));
}

double UnsignedToDouble(qint32 value)
{
    return value < 0 ? double(value) + 4294967296.0 : double(value);
}

bool CreateDirectoryPath(const QString& path)
{
    if (path.isEmpty())
        return true;
    // A Windows drive does not exist here; a folder named "C:" must not be
    // made in the working folder instead.
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:([\\\\/]|$)"));
    if (drive.match(path).hasMatch())
        return false;
    QString native = path;
    native.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QDir().mkpath(native);
    return QFileInfo::exists(native);
}

QString CompactPathToFit(const QString& path, QWidget* form, QWidget* control, bool bTextBox, int width)
{
    if (width == -1 && control)
        width = bTextBox ? TextAreaWidth(control) : control->width();
    QWidget* measured = control ? control : form;
    const QFontMetrics metrics(measured ? measured->font() : QApplication::font());
    return CompactPath(path, metrics, width);
}

void SetCompactPathText(QLineEdit* textBox, QWidget* form, const QString& path)
{
    textBox->setText(CompactPathToFit(path, form, textBox, true, -1));
}

qint32 CountLoadedForms(const QString& name)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return 0;
    // Every window: the top-level ones, the windows below them and the
    // windows inside the main frame.
    QSet<QWidget*> windows;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        windows.insert(top);
        for (QWidget* child : top->findChildren<QWidget*>())
            if (child->isWindow() || qobject_cast<QMdiSubWindow*>(child))
                windows.insert(child);
    }
    const auto named = [&name](const QWidget* w) { return w && w->objectName().compare(name, Qt::CaseInsensitive) == 0; };
    qint32 count = 0;
    for (QWidget* w : windows) {
        // A frame child counts once, named by its frame or by the form in it.
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w))
            count += named(sub) || named(sub->widget()) ? 1 : 0;
        else
            count += named(w) ? 1 : 0;
    }
    return count;
}

bool IsFormLoaded(const QString& name) { return CountLoadedForms(name) >= 1; }

// The message box every window uses, and the top of a window's owner chain.

namespace {
MessageBoxRoute& Route()
{
    static MessageBoxRoute route;
    return route;
}
} // namespace

void SetMessageBoxRoute(MessageBoxRoute route)
{
    Route() = std::move(route);
}

int AppMsgBox(const QString& prompt, int buttons, const QString& title, const QString& helpFile, int context)
{
    Q_UNUSED(helpFile);
    Q_UNUSED(context);
    const MessageBoxRoute& route = Route();
    if (route.silent && route.statusLine && route.silent()) {
        route.statusLine(prompt);
        return vb::vbOK;
    }
    return Ui().MsgBox(prompt, buttons, title);
}

// The chip of the program's picture, painted rather than read: reading a
// picture file makes Qt look through its image plug-ins, which cost start-up
// more than the rest of the splash. Same pixels as resources/tarvo.png.
QImage AppIconImage()
{
    QImage image(64, 64, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    for (int i = 0; i < 6; ++i) {
        const int y = 12 + 7 * i;
        painter.fillRect(4, y, 8, 4, QColor(0xbe, 0xbe, 0xc8));
        painter.fillRect(52, y, 8, 4, QColor(0xbe, 0xbe, 0xc8));
    }
    painter.fillRect(12, 6, 40, 52, QColor(0x28, 0x30, 0x3c));
    painter.fillRect(14, 8, 36, 48, QColor(0x3a, 0x46, 0x58));
    painter.fillRect(18, 12, 6, 6, QColor(0xe6, 0xe6, 0xeb));
    painter.fillRect(22, 30, 20, 6, QColor(0xf0, 0xb4, 0x3c));
    painter.fillRect(22, 40, 20, 6, QColor(0x5a, 0xc8, 0x78));
    return image;
}

QIcon AppIcon()
{
    // Made once: every window of the program shows it.
    static const QPixmap* const pixmap = new QPixmap(QPixmap::fromImage(AppIconImage()));
    return QIcon(*pixmap);
}

QWidget* GetTopOwnerWindow(QWidget* window)
{
    QWidget* top = window;
    while (top && top->parentWidget())
        top = top->parentWidget()->window();
    return top;
}
