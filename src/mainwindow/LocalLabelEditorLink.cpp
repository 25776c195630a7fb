#include "mainwindow/LocalLabelEditorLink.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QUrl>

namespace {

// Long enough for an editor busy printing; a dead editor fails at connect.
constexpr int kAnswerWaitMs = 10000;
constexpr int kConnectWaitMs = 2000;

} // namespace

LocalLabelEditorLink::LocalLabelEditorLink() = default;
LocalLabelEditorLink::~LocalLabelEditorLink() = default;

QString LocalLabelEditorLink::SocketPath(const QString& title)
{
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::tempPath();
    return QDir(folder).filePath(title);
}

bool LocalLabelEditorLink::Start(const QString& program, const QString& workingFolder, QString& reason)
{
    const QFileInfo file(program);
    if (!file.exists()) {
        reason = QStringLiteral("no such file");
        return false;
    }
    if (!file.isFile() || !file.isExecutable()) {
        reason = QStringLiteral("not an executable file");
        return false;
    }
    // The working folder is the child's alone: QProcess sets it after the
    // fork, so the station's current folder stays as it is.
    QProcess process;
    process.setProgram(program);
    process.setWorkingDirectory(workingFolder);
    m_pid = 0;
    if (!process.startDetached(&m_pid)) {
        reason = process.errorString();
        return false;
    }
    return true;
}

bool LocalLabelEditorLink::Activate(const QString& title, QString& reason)
{
    m_socket = std::make_unique<QLocalSocket>();
    m_socket->connectToServer(SocketPath(title));
    if (!m_socket->waitForConnected(kConnectWaitMs)) {
        reason = m_socket->errorString();
        m_socket.reset();
        return false;
    }
    return true;
}

bool LocalLabelEditorLink::SendKeys(const QString& keys)
{
    if (!m_socket || m_socket->state() != QLocalSocket::ConnectedState)
        return false;
    const QByteArray line = keys.toUtf8() + '\t' + QUrl::toPercentEncoding(m_clipboard) + '\n';
    m_socket->write(line);
    if (!m_socket->waitForBytesWritten(kConnectWaitMs))
        return false;
    while (!m_socket->canReadLine()) {
        if (!m_socket->waitForReadyRead(kAnswerWaitMs))
            return false;
    }
    const QByteArray answer = m_socket->readLine().trimmed();
    SetClipboard(QUrl::fromPercentEncoding(answer));
    return true;
}

void LocalLabelEditorLink::SetClipboard(const QString& text)
{
    m_clipboard = text;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::clipboard()->setText(text);
}
