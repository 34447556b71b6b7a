#include "storage/RecordTableModel.h"

#include "storage/FieldConvert.h"

namespace contivo {

RecordTableModel::RecordTableModel(RecordTable* table, QObject* parent)
    : QAbstractTableModel(parent)
    , m_table(table)
{
    refreshColumns();
    m_rows = m_table ? m_table->RecordCount() : 0;
    if (!m_table)
        return;
    connect(m_table, &RecordTable::dataSetChanged, this, &RecordTableModel::reload);
    connect(m_table, &RecordTable::currentChanged, this, [this] { emit currentRowChanged(currentRow()); });
    connect(m_table, &RecordTable::recordChanged, this, [this] {
        const int row = currentRow();
        if (row >= 0 && row < m_rows && !m_columns.empty())
            emit dataChanged(index(row, 0), index(row, static_cast<int>(m_columns.size()) - 1));
    });
}

void RecordTableModel::refreshColumns()
{
    m_columns.clear();
    if (!m_table)
        return;
    for (int i = 0; i < m_table->FieldCount(); ++i)
        if (m_table->Fields(i).def().visible)
            m_columns.push_back(i);
}

void RecordTableModel::reload()
{
    beginResetModel();
    refreshColumns();
    m_rows = m_table ? m_table->RecordCount() : 0;
    endResetModel();
    emit currentRowChanged(currentRow());
}

int RecordTableModel::fieldOfColumn(int column) const
{
    return column >= 0 && column < static_cast<int>(m_columns.size()) ? m_columns[static_cast<size_t>(column)]
                                                                      : -1;
}

int RecordTableModel::columnOfField(const QString& name) const
{
    if (!m_table)
        return -1;
    const Field* f = m_table->FindField(name);
    if (!f)
        return -1;
    for (size_t c = 0; c < m_columns.size(); ++c)
        if (m_columns[c] == f->Index())
            return static_cast<int>(c);
    return -1;
}

int RecordTableModel::currentRow() const
{
    return m_table ? m_table->RecNo() : -1;
}

void RecordTableModel::setCurrentRow(int row)
{
    if (m_table && row >= 0 && row < m_table->RecordCount() && row != m_table->RecNo())
        m_table->MoveTo(row);
}

int RecordTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int RecordTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const
{
    const int field = fieldOfColumn(index.column());
    if (!m_table || field < 0 || index.row() < 0 || index.row() >= m_rows)
        return {};
    const FieldDef& def = m_table->Fields(field).def();
    switch (role) {
    case Qt::DisplayRole:
        return conv::displayText(m_table->VisibleValue(index.row(), field), def);
    case Qt::EditRole:
        return conv::toText(m_table->VisibleValue(index.row(), field), def.type);
    case Qt::TextAlignmentRole: {
        const ValueStorage s = storageOf(def.type);
        const bool number = s == ValueStorage::Integer
            || (s == ValueStorage::Double && def.type != FieldType::Date && def.type != FieldType::DateTime
                && def.type != FieldType::Time);
        return QVariant::fromValue(
            Qt::Alignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    }
    default:
        return {};
    }
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    const int field = fieldOfColumn(section);
    if (!m_table || field < 0)
        return {};
    return m_table->Fields(field).def().effectiveDisplayLabel();
}

}
