#pragma once

#include "storage/RecordTable.h"

#include <QAbstractTableModel>
#include <QPointer>

namespace contivo {

/// Item model of a record table for the data-aware grids: one row per visible row in the current
/// order, one column per visible field (field order). Cells show the field's display text (display
/// format, system decimal separator); the header shows the display label.
///
/// The model resets when the table reports a change of rows, order or structure (a table whose
/// notifications are disabled reports once, when they are enabled again), and reports the table's
/// cursor as currentRowChanged so a grid can follow it.
class RecordTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordTableModel(RecordTable* table, QObject* parent = nullptr);

    RecordTable* table() const { return m_table; }
    /// The table's field shown in a column, -1 when out of range.
    int fieldOfColumn(int column) const;
    /// The column of a field (by name, case-insensitive), -1 when not shown.
    int columnOfField(const QString& name) const;
    /// The cursor's visible row, -1 when there is none.
    int currentRow() const;
    /// Moves the table's cursor to a visible row (a click in the grid).
    void setCurrentRow(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    void currentRowChanged(int row);

private:
    void reload();
    void refreshColumns();

    QPointer<RecordTable> m_table;
    std::vector<int> m_columns;
    int m_rows = 0;
};

}
