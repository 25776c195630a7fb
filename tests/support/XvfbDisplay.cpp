#include "XvfbDisplay.h"

#include <QDeadlineTimer>

XvfbDisplay::XvfbDisplay(QSize screen)
{
    // The server writes the display number it chose to the descriptor named
    // by -displayfd once it takes clients: here its standard output.
    m_server.start(QStringLiteral("Xvfb"),
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                    QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height()), QStringLiteral("-nolisten"),
                    QStringLiteral("tcp")});
    if (!m_server.waitForStarted(10000)) {
        m_error = QStringLiteral("Xvfb does not start: ") + m_server.errorString();
        return;
    }
    QByteArray out;
    QDeadlineTimer deadline(20000);
    while (!out.contains('\n') && !deadline.hasExpired() && m_server.state() == QProcess::Running) {
        m_server.waitForReadyRead(100);
        out += m_server.readAllStandardOutput();
    }
    bool ok = false;
    const int number = out.trimmed().toInt(&ok);
    if (!ok) {
        m_error = QStringLiteral("Xvfb names no display: ") + QString::fromLocal8Bit(m_server.readAllStandardError());
        return;
    }
    m_display = QStringLiteral(":%1").arg(number);
}

XvfbDisplay::~XvfbDisplay()
{
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.terminate();
    if (!m_server.waitForFinished(5000)) {
        m_server.kill();
        m_server.waitForFinished(5000);
    }
}

void XvfbDisplay::Apply(QProcessEnvironment& env) const
{
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // The test program's own main takes this platform for its child role.
    env.insert(QStringLiteral("TARVO_TEST_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
}
