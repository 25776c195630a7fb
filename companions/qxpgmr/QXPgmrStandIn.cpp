#include "QXPgmrStandIn.h"

#include "engine/QXPgmrControl.h"

#include <QDir>
#include <QStandardPaths>

QXPgmrStandIn::QXPgmrStandIn()
    : DispatchObject(QString::fromLatin1(QXPgmrControl::ClassName), QXPgmrControl::Members())
{
    // The device settings reached by name are the numbered ones under a
    // second name: one stored value each.
    ShareValue(QXPgmrId::DeviceByteOrder, QXPgmrId::ByteOrder);
    ShareValue(QXPgmrId::DeviceDataSetWidth, QXPgmrId::SetWidth);
    ShareValue(QXPgmrId::DeviceDataSetLength, QXPgmrId::BankCount);
    ShareValue(QXPgmrId::DeviceSetMode, QXPgmrId::SetMode);
    ShareValue(QXPgmrId::DeviceVectorDisplay, QXPgmrId::VectorDisplayMode);
    ShareValue(QXPgmrId::DeviceVectorXState, QXPgmrId::VectorXValue);
    ShareValue(QXPgmrId::DeviceVectorSeed, QXPgmrId::VectorSeed);

    bindStartUp();
}

QString QXPgmrStandIn::EngineFolder()
{
    const QString folder = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                               .filePath(QStringLiteral("Corvane/QXEngine"));
    QDir().mkpath(QDir(folder).filePath(QStringLiteral("DATALOG")));
    return folder;
}

QString QXPgmrStandIn::LabelPrinterFolder()
{
    return QStringLiteral("/opt/ptouch");
}

void QXPgmrStandIn::bindStartUp()
{
    On(QXPgmrId::SetGuiReady, [this](InvokeKind, QVariantList& args) {
        m_guiReady = IsVbTrue(Arg(args, 0, ValueKind::Bool));
        return QVariant();
    });
    On(QXPgmrId::SetMainWindowHandle, [this](InvokeKind, QVariantList& args) {
        // A window id (winId) passed as a Long; kept whole, as ids may use
        // more than 31 bits.
        m_mainWindowHandle = Arg(args, 0, ValueKind::Variant).toLongLong();
        return QVariant();
    });
    On(QXPgmrId::EngineDirectory, [](InvokeKind, QVariantList&) { return QVariant(EngineFolder()); });
    On(QXPgmrId::LabelPrinterDirectory, [](InvokeKind, QVariantList&) { return QVariant(LabelPrinterFolder()); });
}
