#include "platform/ui/ListView.h"

#include <QEvent>
#include <QHeaderView>
#include <QMouseEvent>

namespace vexa {

ListView::ListView(const QString& name, QWidget* parent)
    : QTreeView(parent), m_model(new ListViewModel(this)) {
    setObjectName(name);
    setModel(m_model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(0, Qt::AscendingOrder);
    // Room above the capitals for háček and čárka.
    m_model->SetRowHeight(fontMetrics().height() + 6);
    connect(header(), &QHeaderView::sectionClicked, this, [this](int section) {
        header()->setSortIndicator(SortKey(), Qt::AscendingOrder);
        emit ColumnClick(section + 1);
    });
}

void ListView::AddColumn(const std::string&, const std::string& headerText, int widthPixels) {
    m_model->AddColumn(headerText);
    header()->resizeSection(m_model->columnCount() - 1, widthPixels);
}

ListView::Id ListView::AddItem(const std::string& key, std::vector<std::string> texts,
                               long long tag) {
    return m_model->Add(key, std::move(texts), tag);
}

void ListView::RemoveItem(Id id) {
    m_model->Remove(id);
    // The view would choose a neighbouring row by itself; a removal leaves no row chosen.
    if (selectionModel() != nullptr)
        selectionModel()->clear();
}

void ListView::RowRemoved(Id id) {
    const bool chosen = SelectedItem() == id;
    m_model->RowRemoved(id);
    if (chosen && selectionModel() != nullptr)
        selectionModel()->clear();
}

std::optional<ListView::Id> ListView::SelectedItem() const {
    if (selectionModel() == nullptr)
        return std::nullopt;
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty())
        return std::nullopt;
    return m_model->IdAt(rows.first().row());
}

void ListView::Select(Id id) {
    int row = m_model->RowOf(id);
    if (row < 0)
        return;
    QModelIndex index = m_model->index(row, 0);
    selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

void ListView::SetSortKey(int column) {
    if (column < 0 || column >= Columns())
        return;
    m_model->SetSortKey(column);
    header()->setSortIndicator(column, Qt::AscendingOrder);
}

void ListView::changeEvent(QEvent* event) {
    QTreeView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        m_model->SetRowHeight(fontMetrics().height() + 6);
}

bool ListView::viewportEvent(QEvent* event) {
    bool handled = QTreeView::viewportEvent(event);
    if (event->type() == QEvent::MouseButtonRelease) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            emit Click();
    } else if (event->type() == QEvent::MouseButtonDblClick) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            emit DblClick();
    }
    return handled;
}

}  // namespace vexa
