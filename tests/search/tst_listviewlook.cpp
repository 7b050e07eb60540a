#include "search/SearchList.h"
#include "search/ui/ListViewLook.h"
#include "support/ui/UiTest.h"

#include <QHeaderView>
#include <QTableView>
#include <QtTest>

using namespace peldora;

class ListViewLookTest : public QObject {
    Q_OBJECT
private slots:
    // Every row counts when a column is fitted: a long title near the end of a long list gets
    // its full width, and no column is narrower than its header.
    void autoSizeMeasuresEveryRow() {
        SearchList list;
        const QString longTitle = QStringLiteral("Long title ").repeated(27);
        for (int i = 1; i <= 2000; ++i)
            list.加入LV1(i == 1990 ? longTitle : QStringLiteral("Short %1").arg(i),
                         QStringLiteral("https://h/a/%1.pdf").arg(i), QStringLiteral("https://h/r"),
                         "pdf", QString(), "ss-en");
        QTableView view;
        view.setModel(&list);
        AutoSizeColumns(&view, -2);
        const int needed = view.fontMetrics().horizontalAdvance(longTitle);
        int widest = 0;
        for (int c = 0; c < list.columnCount(); ++c) {
            widest = std::max(widest, view.columnWidth(c));
            QVERIFY(view.columnWidth(c) >= view.horizontalHeader()->sectionSizeHint(c));
        }
        QVERIFY2(widest >= needed, qPrintable(QStringLiteral("%1 < %2").arg(widest).arg(needed)));
    }
};

PELDORA_UI_TEST_MAIN(ListViewLookTest)
#include "tst_listviewlook.moc"
