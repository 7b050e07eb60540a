#pragma once

class QTableView;
class QTreeView;

namespace peldora {

// Column widths of a list in report view. Width -1 fits the column to its contents, -2 to its
// contents and its header; any other value is a width in pixels. Columns count from 1; a column
// outside 1..column count is left alone.
void SetColumnWidth(QTableView* list, int column, int width);
void AutoSizeColumns(QTableView* list, int width);

// Light green and white bands, one row high, behind the list's rows: the first band
// RGB(231, 248, 237), the second white. The band height is rowHeightPixels when it is above 0,
// else the height of the text "b" plus one pixel (four more with extraRowSpace); the rows take
// that height so each band sits behind one row, also while the list scrolls.
void PaintRowStripes(QTableView* list, bool extraRowSpace, int rowHeightPixels);

// The same for a list shown in a tree view without branches (the download list): every column
// counts, from the first.
void AutoSizeColumns(QTreeView* list, int width);
void PaintRowStripes(QTreeView* list, bool extraRowSpace, int rowHeightPixels);

} // namespace peldora
