#include "frmJobSummary.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmJobSummary::frmJobSummary(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmJobSummary"));
    setWindowTitle(QStringLiteral("Job Summary"));
    auto* layout = new QVBoxLayout(this);
    txtSummary = new QPlainTextEdit(this);
    txtSummary->setObjectName(QStringLiteral("txtSummary"));
    txtSummary->setReadOnly(true);
    layout->addWidget(txtSummary);
    auto* row = new QHBoxLayout;
    row->addStretch();
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    row->addWidget(btnOK);
    layout->addLayout(row);
}
