#include "frmSealbookNote.h"

#include "platform/AppInfo.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"

#include <QCheckBox>
#include <QDateTime>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}

frmSealbookNote::frmSealbookNote(ProgrammerClass& data, QString version, QWidget* parent)
    : QDialog(parent), m_data(data), m_version(std::move(version))
{
    setObjectName(QStringLiteral("frmSealbookNote"));
    lblNote = new QLabel(QStringLiteral("Enter New Note:"), this);
    txtNote = new QPlainTextEdit(this);
    txtNote->setObjectName(QStringLiteral("txtNote"));
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    chkRemoveHistory = new QCheckBox(QStringLiteral("Remove Previous Note History"), this);
    chkRemoveHistory->setObjectName(QStringLiteral("chkRemoveHistory"));
    lblHistory = new QLabel(QStringLiteral("Note History:"), this);
    txtHistory = new QPlainTextEdit(this);
    txtHistory->setObjectName(QStringLiteral("txtHistory"));
    txtHistory->setReadOnly(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblNote, 0, 0);
    grid->addWidget(txtNote, 1, 0, 1, 3);
    grid->addWidget(chkRemoveHistory, 2, 0);
    grid->addWidget(cmdOK, 2, 1);
    grid->addWidget(cmdCancel, 2, 2);
    grid->addWidget(lblHistory, 3, 0);
    grid->addWidget(txtHistory, 4, 0, 1, 3);
    setTabOrder(txtNote, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    setTabOrder(cmdCancel, chkRemoveHistory);
    setTabOrder(chkRemoveHistory, txtHistory);

    connect(cmdOK, &QPushButton::clicked, this, &frmSealbookNote::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSealbookNote::cmdCancel_Click);
}

QString frmSealbookNote::NoteEntry(const QString& date, const QString& time, const QString& version,
                                   const QString& author, const QString& note)
{
    return date + QStringLiteral("    ") + time + kCrLf + QStringLiteral("Software Revision: ") + version + kCrLf
           + QStringLiteral("Author: ") + author + kCrLf + note;
}

// Runs when one of the Show procedures first touches the dialog, so after
// the caller has set skType.
void frmSealbookNote::Form_Load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    if (skType == 2) {
        setWindowTitle(QStringLiteral("Sealbook Auto File Note"));
        m_history = m_data.strSKAutoNote;
    } else {
        setWindowTitle(QStringLiteral("Sealbook File Note"));
        if (skType == 1)
            m_history = m_data.strJobNote;
    }
    txtHistory->setPlainText(m_history);
    chkRemoveHistory->setChecked(false);
    m_mode = 3;
    bCancel = true;
}

void frmSealbookNote::show(qint16 modal)
{
    Q_UNUSED(modal); // callers always show it modally
    Ui().ShowModal(this);
}

void frmSealbookNote::ShowNote(qint16 modal)
{
    Form_Load();
    txtNote->setEnabled(false);
    cmdOK->setText(QStringLiteral("&Close"));
    chkRemoveHistory->setVisible(false);
    chkRemoveHistory->setEnabled(false);
    m_mode = 1;
    cmdCancel->setEnabled(false);
    cmdCancel->setVisible(false);
    show(modal);
}

void frmSealbookNote::ShowSave(qint16 modal)
{
    Form_Load();
    txtNote->setEnabled(true);
    cmdOK->setText(QStringLiteral("&OK"));
    chkRemoveHistory->setVisible(false);
    chkRemoveHistory->setEnabled(false);
    m_mode = 2;
    cmdCancel->setEnabled(true);
    cmdCancel->setVisible(true);
    show(modal);
}

void frmSealbookNote::ShowSaveAs(qint16 modal)
{
    Form_Load();
    txtNote->setEnabled(true);
    cmdOK->setText(QStringLiteral("&OK"));
    chkRemoveHistory->setVisible(true);
    chkRemoveHistory->setEnabled(true);
    m_mode = 3;
    cmdCancel->setEnabled(true);
    cmdCancel->setVisible(true);
    show(modal);
}

void frmSealbookNote::cmdOK_Click()
{
    bRemoveNoteHistory = chkRemoveHistory->isChecked();
    if (m_mode == 2 || m_mode == 3) {
        const QDateTime now = QDateTime::currentDateTime();
        const QLocale locale;
        QString text = NoteEntry(locale.toString(now.date(), QLocale::ShortFormat),
                                 locale.toString(now.time(), QLocale::LongFormat), m_version, gUserName,
                                 txtNote->toPlainText().replace(QLatin1Char('\n'), kCrLf));
        if (!bRemoveNoteHistory)
            text += kCrLf + m_history;
        // The history goes where the dialog took it from: a job's note
        // never lands in an auto file's history or the other way round.
        if (skType == 1)
            m_data.strJobNote = text;
        else if (skType == 2)
            m_data.strSKAutoNote = text;
    }
    bCancel = false;
    accept();
}

void frmSealbookNote::cmdCancel_Click() { reject(); }
