#include "frmSKReport.h"

#include "device/DeviceDialogs.h"
#include "platform/Twips.h"

#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

frmSKReport::frmSKReport(qint32 skType, QWidget* parent)
    : QDialog(parent),
      m_skType(skType)
{
    setObjectName(QStringLiteral("frmSKReport"));
    setWindowTitle(QStringLiteral("Job Setup Verification"));
    sstSKReport = new QTabWidget(this);
    sstSKReport->setObjectName(QStringLiteral("sstSKReport"));
    sstSKReport->addTab(page(mfgSKReport, txtSKNote, QStringLiteral("mfgSKReport"), QStringLiteral("txtSKNote")),
                        QStringLiteral("Manual Handler Configuration"));
    sstSKReport->addTab(
        page(mfgSKAutoReport, txtSKAutoNote, QStringLiteral("mfgSKAutoReport"), QStringLiteral("txtSKAutoNote")),
        QStringLiteral("Auto Handler Configuration"));
    devicedialogs::OkCancelButtons(this, cmdOK, cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sstSKReport);
    layout->addWidget(cmdOK);
    layout->addWidget(cmdCancel);
    connect(cmdOK, &QPushButton::clicked, this, &frmSKReport::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSKReport::cmdCancel_Click);
    Reset();
}

QWidget* frmSKReport::page(QTableWidget*& grid, QPlainTextEdit*& note, const QString& name, const QString& noteName)
{
    auto* widget = new QWidget(this);
    grid = new QTableWidget(kStartRows, 2, widget);
    grid->setObjectName(name);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The value column takes the rest of the grid's width, whatever size the
    // window opens at or is given later: sized once at construction, before
    // the grid had a width, it stayed empty.
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->setMinimumWidth(twips::ToPixels(kFieldColumnTwips + kValueColumnTwips));
    note = new QPlainTextEdit(widget);
    note->setObjectName(noteName);
    note->setReadOnly(true);
    auto* layout = new QVBoxLayout(widget);
    layout->addWidget(grid);
    layout->addWidget(new QLabel(QStringLiteral("History Note:"), widget));
    layout->addWidget(note);
    return widget;
}

void frmSKReport::resetGrid(QTableWidget* grid)
{
    grid->setItem(0, 0, new QTableWidgetItem(QStringLiteral("Field")));
    grid->setItem(0, 1, new QTableWidgetItem(QStringLiteral("Value")));
    grid->setColumnWidth(0, twips::ToPixels(kFieldColumnTwips));
}

void frmSKReport::Reset()
{
    if (m_skType == 1)
        sstSKReport->setTabVisible(1, false);
    sstSKReport->setTabVisible(0, bShowQXJobPage);
    m_rowCount[0] = 0;
    resetGrid(mfgSKReport);
    m_rowCount[1] = 0;
    resetGrid(mfgSKAutoReport);
    if (m_skType == 1)
        sstSKReport->setCurrentIndex(0);
    else if (m_skType == 2)
        sstSKReport->setCurrentIndex(1);
    if (bJobError) {
        cmdOK->setVisible(false);
        cmdOK->setEnabled(false);
    }
    bCancel = true;
}

void frmSKReport::AddItem(const QString& field, const QString& value, qint32 grid)
{
    if (grid != 1 && grid != 2)
        return;
    if (field == QLatin1String("Note")) {
        (grid == 1 ? txtSKNote : txtSKAutoNote)->setPlainText(value);
        return;
    }
    QTableWidget* table = grid == 1 ? mfgSKReport : mfgSKAutoReport;
    const qint16 row = ++m_rowCount[grid - 1];
    if (table->rowCount() <= row)
        table->setRowCount(row + kGrowRows);
    table->setItem(row, 0, new QTableWidgetItem(field));
    table->setItem(row, 1, new QTableWidgetItem(value));
}

void frmSKReport::cmdOK_Click()
{
    bCancel = false;
    accept();
}

void frmSKReport::cmdCancel_Click()
{
    reject();
}
