#include "frmTechSupport.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
frmTechSupport* g_techSupport = nullptr;
}

frmTechSupport& frmTechSupport::Instance(QWidget* owner)
{
    if (!g_techSupport)
        g_techSupport = new frmTechSupport(owner);
    else if (owner && g_techSupport->parentWidget() != owner)
        g_techSupport->setParent(owner, g_techSupport->windowFlags());
    return *g_techSupport;
}

bool frmTechSupport::IsLoaded()
{
    return g_techSupport != nullptr;
}

void frmTechSupport::Unload()
{
    frmTechSupport* window = g_techSupport;
    g_techSupport = nullptr;
    if (!window)
        return;
    // OK's click may still be on the stack: the window goes once control is
    // back in the event loop.
    window->done(QDialog::Accepted);
    window->deleteLater();
}

frmTechSupport::frmTechSupport(QWidget* owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("frmTechSupport"));
    setWindowTitle(QStringLiteral("Technical Support"));
    auto* layout = new QVBoxLayout(this);
    lblContact = new QLabel(this);
    lblContact->setObjectName(QStringLiteral("lblContact"));
    lblContact->setWordWrap(true);
    lblContact->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblContact->setText(
        QStringLiteral("Corvane Technical Support\n\n"
                       "Please have the version line of the About window and the black-box log "
                       "(BlackBox.log in the log folder) at hand when you contact Corvane or your distributor."));
    OK = new QPushButton(QStringLiteral("OK"), this);
    OK->setObjectName(QStringLiteral("OK"));
    OK->setDefault(true);
    layout->addWidget(lblContact);
    layout->addWidget(OK, 0, Qt::AlignRight);
    connect(OK, &QPushButton::clicked, this, &frmTechSupport::OK_Click);
    resize(380, 180);
}

void frmTechSupport::OK_Click()
{
    Unload();
}
