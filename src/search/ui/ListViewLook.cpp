#include "search/ui/ListViewLook.h"

#include <QHeaderView>
#include <QTableView>

namespace peldora {

void SetColumnWidth(QTableView* list, int column, int width) {
    if (!list || !list->model()) return;
    const int count = list->model()->columnCount();
    if (column < 1 || column > count) return;
    const int c = column - 1;
    const QAbstractItemView* view = list; // the hint is public on the base class
    if (width == -1) {
        list->setColumnWidth(c, view->sizeHintForColumn(c));
    } else if (width == -2) {
        list->setColumnWidth(
            c, std::max(view->sizeHintForColumn(c), list->horizontalHeader()->sectionSizeHint(c)));
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
    int band = list->fontMetrics().boundingRect(QStringLiteral("b")).height() + 1;
    if (extraRowSpace) band += 4;
    if (rowHeightPixels > 0) band = rowHeightPixels;
    // Bands drawn per row rather than as a tiled picture, so they stay behind their rows when
    // the list scrolls by an odd number of rows.
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, QColor(231, 248, 237));
    palette.setColor(QPalette::AlternateBase, Qt::white);
    list->setPalette(palette);
    list->setAlternatingRowColors(true);
    QHeaderView* rows = list->verticalHeader();
    rows->setMinimumSectionSize(band);
    rows->setDefaultSectionSize(band);
    rows->setSectionResizeMode(QHeaderView::Fixed);
}

} // namespace peldora
