#pragma once

// The engine's own device selection window (DeviceSelectResult): every device
// of the algorithm database with its manufacturer, name, package and type,
// and a search box that narrows the list as the operator types (any part of
// any of the four, in any letter case). It opens on the current device; OK
// (or Enter, or a double click) takes the selected device. Shown through the
// UI service, so a scripted station or a test can answer it.

#include "DeviceRecord.h"

#include <QDialog>
#include <QVector>

class QLineEdit;
class QPushButton;
class QTableView;

namespace devicechooser {
class DeviceListModel;
} // namespace devicechooser

class DeviceChooser : public QDialog
{
    Q_OBJECT

public:
    // devices must outlive the window. current is selected at the start
    // when it is in the list.
    DeviceChooser(const QVector<DeviceSummary>& devices, const QString& current, QWidget* parent = nullptr);
    ~DeviceChooser() override;

    // The device selected when the window closed; "" when none.
    QString SelectedDevice() const;
    // The number of devices the list shows for the search text.
    int ShownCount() const;

    // Columns of the list.
    enum Column { ManufacturerColumn, NameColumn, PackageColumn, TypeColumn, ColumnCount };

private:
    void search(const QString& text);
    void selectDevice(int device);
    void updateOkButton();

    QLineEdit* m_search = nullptr;
    QTableView* m_table = nullptr;
    devicechooser::DeviceListModel* m_model = nullptr;
    QPushButton* m_ok = nullptr;
};
