#include "frmAbout.h"

#include "engine/QXPgmrControl.h"
#include "mainwindow/VersionStrings.h"
#include "platform/AppInfo.h"
#include "shell/ShellUtilities.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
frmAbout* g_about = nullptr;
}

frmAbout& frmAbout::Instance(QWidget* owner)
{
    if (!g_about)
        g_about = new frmAbout(owner);
    else if (owner && g_about->parentWidget() != owner)
        g_about->setParent(owner, g_about->windowFlags());
    return *g_about;
}

bool frmAbout::IsLoaded()
{
    return g_about != nullptr;
}

void frmAbout::Unload()
{
    frmAbout* about = g_about;
    g_about = nullptr;
    if (!about)
        return;
    // Ends a modal run; the window goes once control is back in the event
    // loop, as OK's click may still be on the stack.
    about->done(QDialog::Accepted);
    about->deleteLater();
}

frmAbout::frmAbout(QWidget* owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About ") + appinfo::ApplicationTitle());
    auto* layout = new QHBoxLayout(this);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(AppIcon().pixmap(64, 64));
    Image1->setAlignment(Qt::AlignTop);
    layout->addWidget(Image1);

    auto* column = new QVBoxLayout();
    layout->addLayout(column);
    auto* title = new QLabel(QStringLiteral("<h2>%1</h2>").arg(appinfo::ApplicationTitle()), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    lblVersion = new QLabel(this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblRevision = new QLabel(this);
    lblRevision->setObjectName(QStringLiteral("lblRevision"));
    lblLegal = new QLabel(this);
    lblLegal->setObjectName(QStringLiteral("lblLegal"));
    lblLegal->setWordWrap(true);
    OK = new QPushButton(QStringLiteral("OK"), this);
    OK->setObjectName(QStringLiteral("OK"));
    OK->setDefault(true);
    for (QWidget* w : {static_cast<QWidget*>(title), static_cast<QWidget*>(lblVersion),
                       static_cast<QWidget*>(lblRevision), static_cast<QWidget*>(lblLegal)})
        column->addWidget(w);
    column->addStretch();
    column->addWidget(OK, 0, Qt::AlignRight);
    connect(OK, &QPushButton::clicked, this, &frmAbout::OK_Click);
    Form_Load();
}

void frmAbout::Form_Load()
{
    // The texts read what they can: an engine that refuses a value leaves
    // that part at 0 or empty.
    if (QXPgmrControl* engine = HostEngine()) {
        lblVersion->setText(AboutVersionText(*engine));
        lblRevision->setText(AboutRevisionText(*engine));
    }
    lblLegal->setText(LegalNotice());
}

void frmAbout::OK_Click()
{
    Unload();
}
