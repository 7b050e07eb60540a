#pragma once
// Markup of small J-STAGE-like result pages for the search tests.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace peldora::test {

struct Entry {
    QString title;
    QString pdfHref;
    QString linkText = QStringLiteral("Download PDF");
};

// One result entry as the site writes it: title block, author line, link block.
inline QString EntryMarkup(const Entry& e) {
    return QStringLiteral("<li><div class=\"searchlist-title\"><a href=\"/article/x\">%1</a></div>"
                          "<div class=\"searchlist-authortags\">A. Author</div>"
                          "<div class=\"lft\"><a href=\"%2\">%3</a></div></li>")
        .arg(e.title, e.pdfHref, e.linkText);
}

// A page: the entries (already marked up) inside the results wrap and, when nextHref is set, a
// pagination bar whose next-page link reads "&gt;". lastPageBar keeps a bar without it.
inline QString PageMarkup(const QStringList& entries, const QString& nextHref = {},
                          bool lastPageBar = true) {
    QString bar;
    if (!nextHref.isEmpty())
        bar = QStringLiteral("<div id=\"search-pagination-wrap-bottom\"><ul>"
                             "<li><a href=\"%1\">2</a></li><li><a href=\"%1\"> &gt; </a></li>"
                             "</ul></div>")
                  .arg(nextHref);
    else if (lastPageBar)
        bar = QStringLiteral("<div id=\"search-pagination-wrap-bottom\"><ul>"
                             "<li><a href=\"/search?page=1\">&lt;</a></li></ul></div>");
    return QStringLiteral("<html><body><div id=\"search-resultslist-wrap\"><ul>%1</ul></div>%2"
                          "</body></html>")
        .arg(entries.join(QString()), bar);
}

} // namespace peldora::test

namespace peldora::test {

// A result page of `count` complete entries with distinct PDF addresses ("/article/g<i>/_pdf"),
// titled "Generated Article <i>" unless one title is given for all.
inline QByteArray GeneratedResultPage(int count, const QString& title = {}) {
    QByteArray html = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>"
                      "<div id=\"search-resultslist-wrap\"><ul>";
    for (int i = 0; i < count; ++i)
        html += QStringLiteral("<li><div class=\"searchlist-title\">%1</div>"
                               "<div class=\"lft\"><a href=\"/article/g%2/_pdf\">Download PDF</a>"
                               "</div></li>")
                    .arg(title.isEmpty() ? QStringLiteral("Generated Article %1").arg(i) : title)
                    .arg(i)
                    .toUtf8();
    return html + "</ul></div></body></html>";
}

} // namespace peldora::test
