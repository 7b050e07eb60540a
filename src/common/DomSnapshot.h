#pragma once
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace peldora {

// One element of a document as the browser held it when the snapshot was taken.
struct DomElement {
    QString tag;       // lower case: "div", "a", "li", ...
    QString id;
    QString className; // the whole class attribute text
    QString innerText; // rendered text; only filled for the elements the request asked for
    QString href;      // absolute address of a link
    QString name;      // input fields
    QString type;
    QString value;
    int parent = -1;   // index of the parent element, -1 for the root
    int end = 0;       // one past the index of the last descendant (elements are in document order)
};

// Which elements' rendered text a snapshot carries. Rendered text costs a layout walk per
// element, so a reader asks for the elements it reads text from.
struct DomTextRequest {
    QSet<QString> tags;    // lower-case tag names, e.g. "a"
    QSet<QString> classes; // lower-case whole class attributes, e.g. "searchlist-title"
    bool wants(const QString& tag, const QString& className) const {
        return tags.contains(tag) || (!className.isEmpty() && classes.contains(className.toLower()));
    }
};

// A document: its address and its elements in document order, walked as the live document
// would be. Element indexes stay valid for the page the snapshot came from, so a click or a
// value written back to the live page names the element by index.
class DomSnapshot {
public:
    QString url;
    bool isHtml = false;      // false for images, PDFs, plain text and blank pages
    QList<DomElement> elements;

    // Index of the element with that id, or -1.
    int getElementById(const QString& id) const;
    // Descendants of `element` (of the whole document for -1) with that tag name, any letter
    // case, in document order.
    QList<int> getElementsByTagName(const QString& tag, int element = -1) const;
    const DomElement& at(int index) const { return elements.at(index); }
    bool valid(int index) const { return index >= 0 && index < elements.size(); }

    // Builds a snapshot from the JSON the page script returns (see platform/qt/DomScript).
    static DomSnapshot FromJson(const QByteArray& json);
    QByteArray toJson() const;
};

} // namespace peldora
