#include "DeviceChooser.h"

#include <QAbstractTableModel>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// The device list as a table, without copying it.
class DeviceListModel : public QAbstractTableModel
{
public:
    explicit DeviceListModel(const QVector<DeviceSummary>& devices, QObject* parent)
        : QAbstractTableModel(parent), m_devices(devices) {}

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_devices.size()); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 4; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        const DeviceSummary& d = m_devices.at(index.row());
        switch (index.column()) {
        case 0: return d.name;
        case 1: return d.manufacturer;
        case 2: return d.package;
        default: return d.type;
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        static const char* const titles[] = {"Device", "Manufacturer", "Package", "Type"};
        return QString::fromLatin1(titles[section]);
    }

private:
    const QVector<DeviceSummary>& m_devices;
};

} // namespace

DeviceChooser::DeviceChooser(const QVector<DeviceSummary>& devices, const QString& current, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DeviceChooser"));
    setWindowTitle(QStringLiteral("Select Device"));

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("search"));
    m_search->setPlaceholderText(QStringLiteral("Part of a device name, manufacturer, package or type"));
    m_search->setClearButtonEnabled(true);

    m_filter = new QSortFilterProxyModel(this);
    m_filter->setSourceModel(new DeviceListModel(devices, this));
    m_filter->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_filter->setFilterKeyColumn(-1);

    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("devices"));
    m_table->setModel(m_filter);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);

    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("&Search:"), this);
    label->setBuddy(m_search);
    layout->addWidget(label);
    layout->addWidget(m_search);
    layout->addWidget(m_table);
    layout->addWidget(buttons);
    resize(640, 480);

    connect(m_search, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_filter->setFilterFixedString(text);
        // Typing narrows the list; the first match is ready to take.
        if (!m_table->selectionModel()->hasSelection() && m_filter->rowCount() > 0)
            m_table->selectRow(0);
        updateOkButton();
    });
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this, &DeviceChooser::updateOkButton);
    connect(m_table, &QTableView::doubleClicked, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    if (!current.isEmpty()) {
        const QModelIndexList found =
            m_filter->match(m_filter->index(0, 0), Qt::DisplayRole, current, 1, Qt::MatchFixedString);
        if (!found.isEmpty()) {
            m_table->selectRow(found.first().row());
            m_table->scrollTo(found.first());
        }
    }
    updateOkButton();
}

QString DeviceChooser::SelectedDevice() const
{
    const QModelIndexList rows = m_table->selectionModel()->selectedRows(0);
    return rows.isEmpty() ? QString() : rows.first().data().toString();
}

void DeviceChooser::updateOkButton()
{
    m_ok->setEnabled(m_table->selectionModel()->hasSelection());
}
