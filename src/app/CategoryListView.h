#pragma once

#include <QPixmap>
#include <QWidget>

class QListView;
class QStackedLayout;
class QStandardItemModel;
class QTableView;
class QItemSelectionModel;
class QModelIndex;

namespace contivo {

/// The category list of the main window: one item per category with a caption and an image index
/// into two image lists (16 and 32 pixels, image 0 being the default icon), shown in one of four
/// styles. The small-icon, large-icon and list styles use a list view; the details style uses a
/// one-column table with grid lines. Both views share one model and one selection, so switching the
/// style keeps the items and the selected item. Items cannot be edited in place.
class CategoryListView : public QWidget {
    Q_OBJECT
public:
    enum class Style { SmallIcons, LargeIcons, List, Details };

    explicit CategoryListView(QWidget* parent = nullptr);

    /// Sets image 0 of both image lists.
    void setDefaultImages(const QPixmap& small, const QPixmap& large);
    /// Removes all items and every image but image 0.
    void clear();
    /// Adds an image pair to both lists; returns its index.
    int addImages(const QPixmap& small, const QPixmap& large);
    /// Appends an item; returns its row.
    int addItem(const QString& caption, int imageIndex = 0);

    int count() const;
    QString caption(int row) const;
    int imageIndex(int row) const;
    int imageCount() const { return static_cast<int>(m_small.size()); }
    QPixmap smallImage(int index) const { return m_small.value(index); }
    QPixmap largeImage(int index) const { return m_large.value(index); }

    /// The selected row, or -1.
    int selectedRow() const;
    /// Selects a row (-1 clears the selection).
    void selectRow(int row);
    QString selectedCaption() const;

    Style style() const { return m_style; }
    void setStyle(Style style);

    /// The view showing the items in the current style (for tests and for the popup position).
    QWidget* currentView() const;
    /// True when an item's caption may be edited in place: never.
    bool editable(int row) const;

signals:
    /// An item became selected (its row).
    void itemSelected(int row);
    /// An item was double-clicked or activated with Enter.
    void itemActivated(int row);
    /// The context menu was asked for at a global position.
    void contextMenuRequested(const QPoint& globalPos);

private:
    void onSelectionChanged();
    void applyIcon(int row);

    QStandardItemModel* m_model;
    QItemSelectionModel* m_selection;
    QListView* m_list;
    QTableView* m_table;
    QStackedLayout* m_stack;
    QList<QPixmap> m_small;
    QList<QPixmap> m_large;
    Style m_style = Style::List;
};

}
