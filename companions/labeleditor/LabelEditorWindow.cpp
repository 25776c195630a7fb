#include "LabelEditorWindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <cstdio>

namespace {

void Say(const QString& text)
{
    std::fprintf(stderr, "labeleditor: %s\n", qPrintable(text));
}

// The same place the station looks for it: $XDG_RUNTIME_DIR, else the
// temporary folder, and the window title as the name.
QString SocketPath()
{
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::tempPath();
    return QDir(folder).filePath(QString::fromLatin1(LabelEditorWindow::kTitle));
}

bool Is(const KeyStroke& s, const char* key, bool ctrl = false, bool alt = false)
{
    return s.key == QLatin1String(key) && s.ctrl == ctrl && s.alt == alt;
}

} // namespace

LabelEditorWindow::LabelEditorWindow()
{
    setWindowTitle(QString::fromLatin1(kTitle));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    m_text = new QLabel(central);
    m_text->setObjectName(QStringLiteral("lblText"));
    m_place = new QLabel(central);
    m_place->setObjectName(QStringLiteral("lblPlace"));
    layout->addWidget(m_text);
    layout->addWidget(m_place);
    setCentralWidget(central);
    showLabel();
}

LabelEditorWindow::~LabelEditorWindow() = default;

bool LabelEditorWindow::Listen()
{
    const QString path = SocketPath();
    // A socket left by an editor that did not end cleanly would block the
    // name; a live one would not answer a second window anyway.
    QLocalServer::removeServer(path);
    m_server = new QLocalServer(this);
    if (!m_server->listen(path)) {
        Say(QStringLiteral("cannot listen on %1: %2").arg(path, m_server->errorString()));
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &LabelEditorWindow::onConnection);
    return true;
}

void LabelEditorWindow::onConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onLine(socket); });
    }
}

void LabelEditorWindow::onLine(QLocalSocket* socket)
{
    while (socket->canReadLine()) {
        const QByteArray line = socket->readLine();
        const qsizetype tab = line.indexOf('\t');
        const QString keys = QString::fromUtf8(tab < 0 ? line.trimmed() : line.left(tab));
        const QString clipboard = tab < 0 ? m_clipboard : QUrl::fromPercentEncoding(line.mid(tab + 1).trimmed());
        socket->write(QUrl::toPercentEncoding(Take(keys, clipboard)) + '\n');
        socket->flush();
        if (m_exitRequested) {
            socket->waitForBytesWritten(1000);
            // After the answer is on its way, so the station is not left
            // waiting for it.
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            return;
        }
    }
}

QString LabelEditorWindow::Take(const QString& keys, const QString& clipboard)
{
    m_clipboard = clipboard;
    for (const KeyStroke& stroke : sendkeys::Parse(keys))
        press(stroke);
    showLabel();
    return m_clipboard;
}

void LabelEditorWindow::press(const KeyStroke& s)
{
    const Mode mode = m_mode;
    m_mode = Mode::Normal;
    switch (mode) {
    case Mode::Normal: pressNormal(s); return;
    case Mode::OpenDialog:
        if (Is(s, "V", true)) {
            m_openName = m_clipboard;
            m_mode = Mode::OpenDialog;
        } else if (Is(s, "ENTER")) {
            if (!m_label.Load(m_openName))
                Say(QStringLiteral("cannot open the label %1").arg(m_openName));
        } else if (!Is(s, "ESC")) {
            m_mode = Mode::OpenDialog;
        }
        return;
    case Mode::EditMenu:
        if (Is(s, "S"))
            m_mode = Mode::Move;
        return;
    case Mode::Move: {
        static const struct
        {
            const char* key;
            QPoint step;
        } steps[] = {{"UP", {0, -1}}, {"DOWN", {0, 1}}, {"LEFT", {-1, 0}}, {"RIGHT", {1, 0}}};
        for (const auto& step : steps) {
            if (Is(s, step.key))
                m_label.position += step.step;
        }
        return;
    }
    case Mode::PrintDialog:
        if (Is(s, "ENTER"))
            print();
        return;
    case Mode::FileMenu:
        if (Is(s, "X"))
            m_exitRequested = true;
        return;
    }
}

void LabelEditorWindow::pressNormal(const KeyStroke& s)
{
    const bool allSelected = m_allSelected;
    m_allSelected = false;
    if (Is(s, "O", true)) {
        m_openName.clear();
        m_mode = Mode::OpenDialog;
    } else if (Is(s, "A", true)) {
        m_allSelected = true;
    } else if (Is(s, "V", true)) {
        m_label.text = allSelected ? m_clipboard : m_label.text + m_clipboard;
    } else if (Is(s, "C", true)) {
        if (allSelected)
            m_clipboard = m_label.text;
        m_allSelected = allSelected;
    } else if (Is(s, "E", false, true)) {
        m_mode = Mode::EditMenu;
        m_allSelected = allSelected;
    } else if (Is(s, "P", true)) {
        m_mode = Mode::PrintDialog;
    } else if (Is(s, "S", true)) {
        if (!m_label.Save())
            Say(QStringLiteral("cannot save the label to \"%1\"").arg(m_label.fileName));
    } else if (Is(s, "F", false, true)) {
        m_mode = Mode::FileMenu;
    } else {
        Say(QStringLiteral("key %1%2%3 ignored")
                .arg(QLatin1String(s.ctrl ? "Ctrl+" : ""), QLatin1String(s.alt ? "Alt+" : ""), s.key));
    }
}

void LabelEditorWindow::print()
{
    QPrinter printer(QPrinter::HighResolution);
    const QString pdf = qEnvironmentVariable("TARVO_LABEL_PDF");
    if (!pdf.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
    } else if (QPrinterInfo::defaultPrinter().isNull()) {
        Say(QStringLiteral("no default printer; the label is not printed"));
        return;
    }
    if (!m_label.Print(printer))
        Say(QStringLiteral("the label could not be printed"));
}

void LabelEditorWindow::showLabel()
{
    m_text->setText(m_label.text);
    m_place->setText(QStringLiteral("%1  (%2 mm, %3 mm)")
                         .arg(m_label.fileName.isEmpty() ? QStringLiteral("(new label)") : m_label.fileName)
                         .arg(m_label.position.x())
                         .arg(m_label.position.y()));
}
