#include "search/ui/ListViewLook.h"

#include <QHeaderView>
#include <algorithm>
#include <vector>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTreeView>

namespace peldora {

namespace {

// The width the widest cell of a column needs: its text, its icon, and the margins the view
// draws around them. Every row counts; the view's own hint looks at a sample of rows only.
int ContentsWidth(const QAbstractItemView* list, int c, bool grid) {
    const QAbstractItemModel* model = list->model();
    const QFontMetrics fm(list->font());
    const QStyle* style = list->style();
    const int margin = 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1);
    const int iconRoom = list->iconSize().isValid() ? list->iconSize().width() + margin
                                                    : style->pixelMetric(QStyle::PM_SmallIconSize) + margin;
    // Longest texts first: once even the widest characters could not make a text wider than
    // the widest one measured, the shorter texts cannot either, and are not measured.
    const int rows = model->rowCount();
    struct Cell {
        QString text;
        bool icon;
    };
    std::vector<Cell> cells;
    cells.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        const QModelIndex at = model->index(r, c);
        cells.push_back({at.data(Qt::DisplayRole).toString(), !at.data(Qt::DecorationRole).isNull()});
    }
    std::sort(cells.begin(), cells.end(),
              [](const Cell& a, const Cell& b) { return a.text.size() > b.text.size(); });
    const int widestChar = std::max(fm.maxWidth(), fm.horizontalAdvance(QChar(0x6587)));
    int widest = 0;
    for (const Cell& cell : cells) {
        const int extra = cell.icon ? iconRoom : 0;
        if (cell.text.size() * widestChar + iconRoom < widest) break;
        widest = std::max(widest, (cell.text.isEmpty() ? 0 : fm.horizontalAdvance(cell.text)) + extra);
    }
    return widest + margin + (grid ? 1 : 0);
}

// Rows of a tree view exactly one band high.
class BandHeightDelegate : public QStyledItemDelegate {
public:
    BandHeightDelegate(int height, QObject* parent) : QStyledItemDelegate(parent), m_height(height) {}
    void setHeight(int height) { m_height = height; }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), m_height);
    }

private:
    int m_height;
};

int BandHeight(const QAbstractItemView* list, bool extraRowSpace, int rowHeightPixels) {
    int band = list->fontMetrics().boundingRect(QStringLiteral("b")).height() + 1;
    if (extraRowSpace) band += 4;
    if (rowHeightPixels > 0) band = rowHeightPixels;
    return band;
}

void SetStripeColours(QAbstractItemView* list) {
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, QColor(231, 248, 237));
    palette.setColor(QPalette::AlternateBase, Qt::white);
    list->setPalette(palette);
    list->setAlternatingRowColors(true);
}

} // namespace

void AutoSizeColumns(QTreeView* list, int width) {
    if (!list || !list->model()) return;
    QHeaderView* header = list->header();
    for (int c = 0; c < list->model()->columnCount(); ++c) {
        if (width == -1)
            header->resizeSection(c, ContentsWidth(list, c, false));
        else if (width == -2)
            header->resizeSection(c, std::max(ContentsWidth(list, c, false), header->sectionSizeHint(c)));
        else
            header->resizeSection(c, width);
    }
}

void PaintRowStripes(QTreeView* list, bool extraRowSpace, int rowHeightPixels) {
    if (!list) return;
    const int band = BandHeight(list, extraRowSpace, rowHeightPixels);
    SetStripeColours(list);
    if (auto* own = list->findChild<BandHeightDelegate*>(QString(), Qt::FindDirectChildrenOnly)) {
        own->setHeight(band);
    } else {
        list->setItemDelegate(new BandHeightDelegate(band, list));
    }
    list->setUniformRowHeights(true);
    list->doItemsLayout();
}

void SetColumnWidth(QTableView* list, int column, int width) {
    if (!list || !list->model()) return;
    const int count = list->model()->columnCount();
    if (column < 1 || column > count) return;
    const int c = column - 1;
    if (width == -1) {
        list->setColumnWidth(c, ContentsWidth(list, c, list->showGrid()));
    } else if (width == -2) {
        list->setColumnWidth(
            c, std::max(ContentsWidth(list, c, list->showGrid()), list->horizontalHeader()->sectionSizeHint(c)));
    } else {
        list->setColumnWidth(c, width);
    }
}

void AutoSizeColumns(QTableView* list, int width) {
    if (!list || !list->model()) return;
    const int count = list->model()->columnCount();
    for (int column = 1; column <= count; ++column) SetColumnWidth(list, column, width);
}

void PaintRowStripes(QTableView* list, bool extraRowSpace, int rowHeightPixels) {
    if (!list) return;
    const int band = BandHeight(list, extraRowSpace, rowHeightPixels);
    // Bands drawn per row rather than as a tiled picture, so they stay behind their rows when
    // the list scrolls by an odd number of rows.
    SetStripeColours(list);
    QHeaderView* rows = list->verticalHeader();
    rows->setMinimumSectionSize(band);
    rows->setDefaultSectionSize(band);
    rows->setSectionResizeMode(QHeaderView::Fixed);
}

} // namespace peldora
