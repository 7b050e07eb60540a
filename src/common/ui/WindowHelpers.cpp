#include "common/ui/WindowHelpers.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QScreen>
#include <QStyle>
#include <QWidget>

namespace peldora {

void FitComboDropWidth(QComboBox* combo) {
    if (!combo || !combo->view()) return;
    int longest = -1;
    qsizetype longestLength = -1;
    for (int i = 0; i < combo->count(); ++i) {
        const qsizetype length = combo->itemText(i).size();
        if (length > longestLength) {
            longestLength = length;
            longest = i;
        }
    }
    if (longest < 0) return;
    int width = combo->fontMetrics().horizontalAdvance(combo->itemText(longest)) + 7;
    if (combo->count() >= 9) width += combo->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    if (const QScreen* screen = combo->screen()) {
        const int room = screen->geometry().right() - combo->mapToGlobal(QPoint(0, 0)).x();
        if (room > 0) width = std::min(width, room);
    }
    combo->view()->setMinimumWidth(std::max(width, combo->width()));
}

bool IsFormLoaded(const QString& windowName) {
    const QString wanted = windowName.toLower();
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName().toLower() == wanted) return true;
    return false;
}

} // namespace peldora
