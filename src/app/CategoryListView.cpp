#include "app/CategoryListView.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QIcon>
#include <QListView>
#include <QStackedLayout>
#include <QStandardItemModel>
#include <QTableView>

namespace contivo {

namespace {

constexpr int kImageIndexRole = Qt::UserRole + 1;
constexpr int kDetailsColumnWidth = 210;
constexpr int kListBorder = 4;

}

CategoryListView::CategoryListView(QWidget* parent)
    : QWidget(parent)
    , m_model(new QStandardItemModel(0, 1, this))
    , m_list(new QListView(this))
    , m_table(new QTableView(this))
    , m_stack(new QStackedLayout(this))
{
    m_model->setHorizontalHeaderLabels({ QStringLiteral("Categoria") });
    m_selection = new QItemSelectionModel(m_model, this);

    m_list->setObjectName(QStringLiteral("ListaCategorieVista"));
    m_list->setModel(m_model);
    m_list->setSelectionModel(m_selection);
    m_list->setResizeMode(QListView::Adjust);
    m_list->setUniformItemSizes(true);

    m_table->setObjectName(QStringLiteral("ListaCategorieDettagli"));
    m_table->setModel(m_model);
    m_table->setSelectionModel(m_selection);
    m_table->setShowGrid(true);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_table->horizontalHeader()->setStretchLastSection(false);
    m_table->setColumnWidth(0, kDetailsColumnWidth);
    m_table->verticalHeader()->setDefaultSectionSize(20);
    m_table->setIconSize(QSize(16, 16));
    m_table->setWordWrap(false);

    for (QAbstractItemView* view :
        { static_cast<QAbstractItemView*>(m_list), static_cast<QAbstractItemView*>(m_table) }) {
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit itemActivated(index.row()); });
        connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& pos) {
            emit contextMenuRequested(view->viewport()->mapToGlobal(pos));
        });
        m_stack->addWidget(view);
    }
    connect(m_selection, &QItemSelectionModel::selectionChanged, this, &CategoryListView::onSelectionChanged);
    setStyle(Style::List);
}

void CategoryListView::setDefaultImages(const QPixmap& small, const QPixmap& large)
{
    if (m_small.isEmpty()) {
        m_small.append(small);
        m_large.append(large);
    } else {
        m_small[0] = small;
        m_large[0] = large;
    }
    for (int row = 0; row < count(); ++row)
        applyIcon(row);
}

void CategoryListView::clear()
{
    m_selection->clear();
    m_model->removeRows(0, m_model->rowCount());
    while (m_small.size() > 1) {
        m_small.removeLast();
        m_large.removeLast();
    }
}

int CategoryListView::addImages(const QPixmap& small, const QPixmap& large)
{
    if (m_small.isEmpty()) {
        m_small.append(QPixmap());
        m_large.append(QPixmap());
    }
    m_small.append(small);
    m_large.append(large);
    return static_cast<int>(m_small.size()) - 1;
}

int CategoryListView::addItem(const QString& caption, int imageIndex)
{
    auto* item = new QStandardItem(caption);
    item->setEditable(false);
    item->setData(imageIndex, kImageIndexRole);
    item->setToolTip(caption);
    m_model->appendRow(item);
    const int row = m_model->rowCount() - 1;
    applyIcon(row);
    return row;
}

void CategoryListView::applyIcon(int row)
{
    QStandardItem* item = m_model->item(row);
    const int index = item->data(kImageIndexRole).toInt();
    QIcon icon;
    if (!m_small.value(index).isNull())
        icon.addPixmap(m_small.value(index));
    if (!m_large.value(index).isNull())
        icon.addPixmap(m_large.value(index));
    item->setIcon(icon);
}

int CategoryListView::count() const
{
    return m_model->rowCount();
}

QString CategoryListView::caption(int row) const
{
    const QStandardItem* item = m_model->item(row);
    return item ? item->text() : QString();
}

int CategoryListView::imageIndex(int row) const
{
    const QStandardItem* item = m_model->item(row);
    return item ? item->data(kImageIndexRole).toInt() : -1;
}

bool CategoryListView::editable(int row) const
{
    const QStandardItem* item = m_model->item(row);
    return item && (item->flags() & Qt::ItemIsEditable);
}

int CategoryListView::selectedRow() const
{
    const QModelIndexList rows = m_selection->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CategoryListView::selectRow(int row)
{
    if (row < 0 || row >= count()) {
        m_selection->clear();
        return;
    }
    const QModelIndex index = m_model->index(row, 0);
    m_selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (QAbstractItemView* view = qobject_cast<QAbstractItemView*>(currentView()))
        view->scrollTo(index);
}

QString CategoryListView::selectedCaption() const
{
    const int row = selectedRow();
    return row < 0 ? QString() : caption(row);
}

void CategoryListView::onSelectionChanged()
{
    const int row = selectedRow();
    if (row >= 0)
        emit itemSelected(row);
}

QWidget* CategoryListView::currentView() const
{
    return m_stack->currentWidget();
}

void CategoryListView::setStyle(Style style)
{
    m_style = style;
    if (style == Style::Details) {
        m_stack->setCurrentWidget(m_table);
        setContentsMargins(0, 0, 0, 0);
        return;
    }
    setContentsMargins(kListBorder, kListBorder, kListBorder, kListBorder);
    switch (style) {
    case Style::SmallIcons:
        m_list->setViewMode(QListView::ListMode);
        m_list->setFlow(QListView::LeftToRight);
        m_list->setIconSize(QSize(16, 16));
        m_list->setGridSize(QSize(150, 22));
        break;
    case Style::LargeIcons:
        m_list->setViewMode(QListView::IconMode);
        m_list->setFlow(QListView::LeftToRight);
        m_list->setIconSize(QSize(32, 32));
        m_list->setGridSize(QSize(110, 76));
        m_list->setMovement(QListView::Static);
        break;
    case Style::List:
    case Style::Details:
        m_list->setViewMode(QListView::ListMode);
        m_list->setFlow(QListView::TopToBottom);
        m_list->setIconSize(QSize(16, 16));
        m_list->setGridSize(QSize(170, 22));
        break;
    }
    m_list->setWrapping(true);
    m_list->setWordWrap(style == Style::LargeIcons);
    m_list->setTextElideMode(Qt::ElideRight);
    m_stack->setCurrentWidget(m_list);
}

}
