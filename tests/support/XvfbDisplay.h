#pragma once

// An X server of the test's own: Xvfb on a display number it picks itself
// (-displayfd), so that a child runs its windows on the xcb platform as on
// an operator's desktop, beside other tests' servers. The server ends with
// the object.

#include <QProcess>
#include <QProcessEnvironment>
#include <QSize>
#include <QString>

class XvfbDisplay
{
public:
    explicit XvfbDisplay(QSize screen = QSize(1280, 1024));
    ~XvfbDisplay();
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;

    // The server stands and takes clients; else Error() says why.
    bool Started() const { return !m_display.isEmpty(); }
    QString Error() const { return m_error; }
    QString Display() const { return m_display; }

    // A child's environment for this display on the xcb platform.
    void Apply(QProcessEnvironment& env) const;

private:
    QProcess m_server;
    QString m_display;
    QString m_error;
};
