#include "LabelDocument.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QSettings>

namespace {
const QString kGroup = QStringLiteral("Label");
} // namespace

bool LabelDocument::Load(const QString& name)
{
    if (!QFileInfo(name).isFile())
        return false;
    QSettings file(name, QSettings::IniFormat);
    if (file.status() != QSettings::NoError)
        return false;
    file.beginGroup(kGroup);
    fileName = QFileInfo(name).absoluteFilePath();
    text = file.value(QStringLiteral("Text")).toString();
    position = QPoint(file.value(QStringLiteral("X"), 4).toInt(), file.value(QStringLiteral("Y"), 10).toInt());
    return true;
}

bool LabelDocument::Save() const
{
    if (fileName.isEmpty())
        return false;
    QSettings file(fileName, QSettings::IniFormat);
    file.beginGroup(kGroup);
    file.setValue(QStringLiteral("Text"), text);
    file.setValue(QStringLiteral("X"), position.x());
    file.setValue(QStringLiteral("Y"), position.y());
    file.endGroup();
    file.sync();
    return file.status() == QSettings::NoError;
}

bool LabelDocument::Print(QPrinter& printer) const
{
    printer.setPageLayout(
        QPageLayout(QPageSize(QSizeF(kWidthMm, kHeightMm), QPageSize::Millimeter), QPageLayout::Portrait, QMarginsF()));
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const double dotsPerMm = printer.resolution() / 25.4;
    QFont font = painter.font();
    font.setPointSize(14);
    painter.setFont(font);
    painter.drawText(QPointF(position.x() * dotsPerMm, position.y() * dotsPerMm), text);
    return painter.end();
}
