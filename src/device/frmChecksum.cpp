#include "frmChecksum.h"

#include "DeviceDialogs.h"

#include "settings/ProgrammerClass.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmChecksum::frmChecksum(ProgrammerClass& data, QWidget* parent)
    : QDialog(parent), m_data(data)
{
    setObjectName(QStringLiteral("frmChecksum"));
    setWindowTitle(QStringLiteral("Checksum"));

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Label2 = devicedialogs::Label(Frame1, QStringLiteral("Checksum method:"));
    Label2->setObjectName(QStringLiteral("Label2"));
    opt8Bit = devicedialogs::Option(Frame1, "opt8Bit", QStringLiteral("&8 bit"));
    opt16Bit = devicedialogs::Option(Frame1, "opt16Bit", QStringLiteral("&16 bit"));
    auto* methodLayout = new QVBoxLayout(Frame1);
    for (QWidget* w : {static_cast<QWidget*>(Label2), static_cast<QWidget*>(opt8Bit), static_cast<QWidget*>(opt16Bit)})
        methodLayout->addWidget(w);

    Frame2 = new QGroupBox(this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Label3 = devicedialogs::Label(Frame2, QStringLiteral("Checksum type:"));
    Label3->setObjectName(QStringLiteral("Label3"));
    optBuffer = devicedialogs::Option(Frame2, "optBuffer", QStringLiteral("&Buffer"));
    optDevice = devicedialogs::Option(Frame2, "optDevice", QStringLiteral("&Device"));
    optCompat = devicedialogs::Option(Frame2, "optCompat", QStringLiteral("&Compatibility"));
    auto* typeLayout = new QVBoxLayout(Frame2);
    for (QWidget* w : {static_cast<QWidget*>(Label3), static_cast<QWidget*>(optBuffer),
                       static_cast<QWidget*>(optDevice), static_cast<QWidget*>(optCompat)})
        typeLayout->addWidget(w);

    btnOK = devicedialogs::Button(this, "btnOK", QStringLiteral("OK"));
    btnCancel = devicedialogs::Button(this, "btnCancel", QStringLiteral("Cancel"));
    btnOK->setDefault(true);
    auto* frames = new QHBoxLayout;
    frames->addWidget(Frame1);
    frames->addWidget(Frame2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(frames);
    layout->addLayout(devicedialogs::ButtonRow(btnOK, btnCancel));

    // Each option sets its value when it becomes set, by a click or by the
    // load, so the values kept are always ones of the table.
    const std::pair<QRadioButton*, qint32> methods[] = {{opt8Bit, 0}, {opt16Bit, 1}};
    for (const auto& [option, value] : methods)
        connect(option, &QRadioButton::toggled, this, [this, value = value](bool on) { if (on) m_method = value; });
    const std::pair<QRadioButton*, qint32> types[] = {{optBuffer, 0}, {optDevice, 1}, {optCompat, 2}};
    for (const auto& [option, value] : types)
        connect(option, &QRadioButton::toggled, this, [this, value = value](bool on) { if (on) m_type = value; });
    connect(btnOK, &QPushButton::clicked, this, &frmChecksum::btnOK_Click);
    connect(btnCancel, &QPushButton::clicked, this, &frmChecksum::btnCancel_Click);

    m_method = m_data.udtCSumMethod;
    m_type = m_data.udtCSumType;
    (m_method != 0 ? opt16Bit : opt8Bit)->setChecked(true);
    (m_type == 0 ? optBuffer : m_type == 2 ? optCompat : optDevice)->setChecked(true);
    devicedialogs::CentreOnScreen(this);
}

void frmChecksum::btnOK_Click()
{
    m_data.udtCSumMethod = m_method;
    m_data.udtCSumType = m_type;
    accept();
}

void frmChecksum::btnCancel_Click() { reject(); }
