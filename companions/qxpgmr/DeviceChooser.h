#pragma once

// The engine's own device selection window (DeviceSelectResult): the device
// list with a search box; OK takes the selected device. Shown through the UI
// service, so a scripted station or a test can answer it.

#include "DeviceRecord.h"

#include <QDialog>
#include <QVector>

class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

class DeviceChooser : public QDialog
{
    Q_OBJECT

public:
    // devices must outlive the window. current is selected at the start
    // when it is in the list.
    DeviceChooser(const QVector<DeviceSummary>& devices, const QString& current, QWidget* parent = nullptr);

    // The device selected when the window closed; "" when none.
    QString SelectedDevice() const;

private:
    void updateOkButton();

    QLineEdit* m_search = nullptr;
    QTableView* m_table = nullptr;
    QSortFilterProxyModel* m_filter = nullptr;
    QPushButton* m_ok = nullptr;
};
