#include "common/DomSnapshot.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <vector>

namespace peldora {

int DomSnapshot::getElementById(const QString& id) const {
    if (id.isEmpty()) return -1;
    for (int i = 0; i < elements.size(); ++i)
        if (elements.at(i).id == id) return i;
    return -1;
}

QList<int> DomSnapshot::getElementsByTagName(const QString& tag, int element) const {
    QList<int> out;
    const QString wanted = tag.toLower();
    const int begin = element < 0 ? 0 : element + 1;
    const int end = element < 0 ? int(elements.size()) : (valid(element) ? elements.at(element).end : 0);
    for (int i = begin; i < end && i < elements.size(); ++i)
        if (elements.at(i).tag == wanted) out << i;
    return out;
}

// The page script sends compact rows: [tag, id, class, text, href, name, type, value, parent].
DomSnapshot DomSnapshot::FromJson(const QByteArray& json) {
    DomSnapshot snap;
    const QJsonObject root = QJsonDocument::fromJson(json).object();
    snap.url = root.value(QStringLiteral("url")).toString();
    snap.isHtml = root.value(QStringLiteral("html")).toBool();
    const QJsonArray rows = root.value(QStringLiteral("elements")).toArray();
    snap.elements.reserve(rows.size());
    for (const QJsonValue& v : rows) {
        const QJsonArray r = v.toArray();
        DomElement e;
        e.tag = r.at(0).toString().toLower();
        e.id = r.at(1).toString();
        e.className = r.at(2).toString();
        e.innerText = r.at(3).toString();
        e.href = r.at(4).toString();
        e.name = r.at(5).toString();
        e.type = r.at(6).toString();
        e.value = r.at(7).toString();
        e.parent = r.at(8).toInt(-1);
        snap.elements << e;
    }
    // Descendants of an element are the run of elements that follows it up to the first one
    // whose parent chain leaves it. A parent must be open where its child stands (the element
    // before it or one of that one's ancestors); a row naming any other parent starts a new
    // root, so the runs always nest and hold exactly the descendants.
    const int n = int(snap.elements.size());
    std::vector<int> open;
    std::vector<char> isOpen(n, 0);
    for (int i = 0; i < n; ++i) {
        DomElement& e = snap.elements[i];
        const bool parentOpen = e.parent >= 0 && e.parent < i && isOpen[e.parent];
        while (!open.empty() && (!parentOpen || open.back() != e.parent)) {
            snap.elements[open.back()].end = i;
            isOpen[open.back()] = 0;
            open.pop_back();
        }
        if (!parentOpen) e.parent = -1;
        open.push_back(i);
        isOpen[i] = 1;
    }
    for (const int i : open) snap.elements[i].end = n;
    return snap;
}

QByteArray DomSnapshot::toJson() const {
    QJsonArray rows;
    for (const DomElement& e : elements)
        rows.append(QJsonArray{e.tag, e.id, e.className, e.innerText, e.href, e.name, e.type,
                               e.value, e.parent});
    return QJsonDocument(QJsonObject{{QStringLiteral("url"), url},
                                     {QStringLiteral("html"), isHtml},
                                     {QStringLiteral("elements"), rows}})
        .toJson(QJsonDocument::Compact);
}

} // namespace peldora
