#include "frmSplash.h"

#include "mainwindow/VersionStrings.h"
#include "mainwindow/frmMain.h"
#include "platform/AppInfo.h"
#include "shell/ShellUtilities.h"
#include "shell/StartUp.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

namespace {
frmSplash* g_splash = nullptr;
QStringList g_stepsShown;
}

const QStringList& frmSplash::StepsShown() { return g_stepsShown; }

frmSplash& frmSplash::Instance()
{
    if (!g_splash)
        g_splash = new frmSplash();
    return *g_splash;
}

bool frmSplash::IsLoaded() { return g_splash != nullptr; }

void frmSplash::Unload()
{
    delete g_splash;
    g_splash = nullptr;
}

frmSplash::frmSplash()
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    // The splash shows before the program's windows get their icon.
    setWindowTitle(appinfo::ApplicationTitle());
    setWindowIcon(AppIcon());
    auto* outer = new QVBoxLayout(this);
    fraMainFrame = new QFrame(this);
    fraMainFrame->setFrameShape(QFrame::Box);
    outer->addWidget(fraMainFrame);
    auto* layout = new QVBoxLayout(fraMainFrame);
    Image1 = new QLabel(fraMainFrame);
    Image1->setPixmap(AppIcon().pixmap(64, 64));
    // Every text of the splash is in the window font and plain: another
    // size, a bold face or rich text would cost start-up a second font
    // (and a text document), and the short legal notice needs no wrapping.
    auto* title = new QLabel(appinfo::ApplicationTitle(), fraMainFrame);
    title->setObjectName(QStringLiteral("lblTitle"));
    title->setTextFormat(Qt::PlainText);
    lblStep = new QLabel(fraMainFrame);
    lblVersion = new QLabel(fraMainFrame);
    lblLegal = new QLabel(LegalNotice(), fraMainFrame);
    for (QWidget* w : {static_cast<QWidget*>(Image1), static_cast<QWidget*>(title), static_cast<QWidget*>(lblStep),
                       static_cast<QWidget*>(lblVersion), static_cast<QWidget*>(lblLegal)})
        layout->addWidget(w);
    // The splash takes the size its lines need: each pixel more is memory
    // the first paint of start-up has to fetch.
    Form_Load();
}

void frmSplash::Form_Load()
{
    lblVersion->setText(QStringLiteral(" "));
}

void frmSplash::ShowInitStep(const QVariant& step)
{
    bool ok = false;
    const int n = step.toInt(&ok);
    static const char* const kSteps[] = {
        "Registering Components...",
        "Loading QX Engine...",
        "Loading Algorithm Database...",
        "Establishing Communication...",
    };
    const QString stepBefore = lblStep->text();
    const QString versionBefore = lblVersion->text();
    if (ok && n >= 0 && n < 4) {
        lblStep->setText(QString::fromLatin1(kSteps[n]));
        g_stepsShown << lblStep->text();
        if (n == 3 && HostEngine())
            lblVersion->setText(SplashVersionLine(*HostEngine()));
    }
    // Painting is what a step costs: a step that changes no text shows as it
    // was, and one that does paints the lines it changed, at once and in one
    // go (the labels span the splash, so a longer text needs no new layout).
    QRegion changed;
    if (lblStep->text() != stepBefore)
        changed += lblStep->geometry().translated(fraMainFrame->pos());
    if (lblVersion->text() != versionBefore)
        changed += lblVersion->geometry().translated(fraMainFrame->pos());
    if (changed.isEmpty())
        return;
    ++m_repaints;
    repaint(changed);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
