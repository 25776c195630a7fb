#include "DeviceChooser.h"

#include <QAbstractTableModel>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace devicechooser {

// The device list as a table of the devices that match the search text,
// without copying the list. Each device's four fields are kept once in
// folded case, so a keystroke costs one substring test per candidate; a
// keystroke that lengthens the text only tests the devices shown already.
class DeviceListModel : public QAbstractTableModel
{
public:
    DeviceListModel(const QVector<DeviceSummary>& devices, QObject* parent)
        : QAbstractTableModel(parent),
          m_devices(devices)
    {
        m_folded.reserve(devices.size());
        m_shown.reserve(devices.size());
        for (int i = 0; i < devices.size(); ++i) {
            const DeviceSummary& d = devices.at(i);
            // Fields joined by a character no search text holds, so that a
            // match never runs from one field into the next.
            m_folded << (d.manufacturer + QLatin1Char('\n') + d.name + QLatin1Char('\n') + d.package + QLatin1Char('\n')
                         + d.type)
                            .toCaseFolded();
            m_shown << i;
        }
    }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_shown.size()); }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : DeviceChooser::ColumnCount;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        const DeviceSummary& d = m_devices.at(m_shown.at(index.row()));
        switch (index.column()) {
        case DeviceChooser::ManufacturerColumn: return d.manufacturer;
        case DeviceChooser::NameColumn: return d.name;
        case DeviceChooser::PackageColumn: return d.package;
        default: return d.type;
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        static const char* const titles[] = {"Manufacturer", "Device", "Package", "Type"};
        return section >= 0 && section < DeviceChooser::ColumnCount ? QString::fromLatin1(titles[section]) : QVariant();
    }

    void Filter(const QString& text)
    {
        const QString folded = text.toCaseFolded();
        if (folded == m_text)
            return;
        QVector<int> shown;
        shown.reserve(m_shown.size());
        const auto keep = [&](int device) {
            if (m_folded.at(device).contains(folded))
                shown << device;
        };
        if (folded.contains(m_text)) {
            for (int device : std::as_const(m_shown))
                keep(device);
        } else {
            for (int device = 0; device < m_folded.size(); ++device)
                keep(device);
        }
        beginResetModel();
        m_shown = std::move(shown);
        m_text = folded;
        endResetModel();
    }

    // The device (index into the list) a row shows.
    int DeviceAt(int row) const { return row >= 0 && row < m_shown.size() ? m_shown.at(row) : -1; }
    // The row showing a device; -1 when it does not match the search.
    int RowOf(int device) const
    {
        const auto it = std::lower_bound(m_shown.cbegin(), m_shown.cend(), device);
        return it != m_shown.cend() && *it == device ? int(it - m_shown.cbegin()) : -1;
    }
    int Find(const QString& name) const
    {
        for (int i = 0; i < m_devices.size(); ++i) {
            if (m_devices.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }
    const QString& NameOf(int device) const { return m_devices.at(device).name; }

private:
    const QVector<DeviceSummary>& m_devices;
    QVector<QString> m_folded;
    QVector<int> m_shown; // ascending
    QString m_text;
};

} // namespace devicechooser

using devicechooser::DeviceListModel;

DeviceChooser::DeviceChooser(const QVector<DeviceSummary>& devices, const QString& current, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DeviceChooser"));
    setWindowTitle(QStringLiteral("Select Device"));

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("search"));
    m_search->setPlaceholderText(QStringLiteral("Part of a manufacturer, device name, package or type"));
    m_search->setClearButtonEnabled(true);

    m_model = new DeviceListModel(devices, this);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("devices"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    // Fixed row heights: the view never measures ten thousand rows.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // The Type column holds its longest entry whole (measured over the few
    // distinct types, not the rows); the other columns share the rest.
    QHeaderView* header = m_table->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Stretch);
    QSet<QString> types;
    for (const DeviceSummary& d : devices)
        types.insert(d.type);
    int typeWidth = header->fontMetrics().horizontalAdvance(QStringLiteral("Type"));
    for (const QString& type : std::as_const(types))
        typeWidth = std::max(typeWidth, m_table->fontMetrics().horizontalAdvance(type));
    constexpr int kCellPadding = 16;
    header->setSectionResizeMode(TypeColumn, QHeaderView::Fixed);
    header->resizeSection(TypeColumn, typeWidth + kCellPadding);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);

    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("&Search:"), this);
    label->setBuddy(m_search);
    layout->addWidget(label);
    layout->addWidget(m_search);
    layout->addWidget(m_table);
    layout->addWidget(buttons);
    resize(720, 480);

    connect(m_search, &QLineEdit::textChanged, this, &DeviceChooser::search);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this, &DeviceChooser::updateOkButton);
    connect(m_table, &QTableView::doubleClicked, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    if (!current.isEmpty())
        selectDevice(m_model->Find(current));
    updateOkButton();
    m_search->setFocus();
}

DeviceChooser::~DeviceChooser() = default;

QString DeviceChooser::SelectedDevice() const
{
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    return rows.isEmpty() ? QString() : m_model->NameOf(m_model->DeviceAt(rows.first().row()));
}

int DeviceChooser::ShownCount() const
{
    return m_model->rowCount();
}

void DeviceChooser::search(const QString& text)
{
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    const int selected = rows.isEmpty() ? -1 : m_model->DeviceAt(rows.first().row());
    m_model->Filter(text);
    // The chosen device stays chosen while it matches; otherwise the first
    // match is ready to take.
    if (selected >= 0 && m_model->RowOf(selected) >= 0)
        selectDevice(selected);
    else if (m_model->rowCount() > 0)
        selectDevice(m_model->DeviceAt(0));
    updateOkButton();
}

void DeviceChooser::selectDevice(int device)
{
    const int row = m_model->RowOf(device);
    if (row < 0)
        return;
    m_table->selectRow(row);
    m_table->scrollTo(m_model->index(row, NameColumn), QAbstractItemView::PositionAtCenter);
}

void DeviceChooser::updateOkButton()
{
    m_ok->setEnabled(m_table->selectionModel()->hasSelection());
}
