#include "support/FakeBrowser.h"

#include <QUrl>
#include <QXmlStreamReader>

namespace peldora::test {

DomSnapshot SnapshotFromMarkup(const QString& markup, const QString& url) {
    DomSnapshot snap;
    snap.url = url;
    QXmlStreamReader xml(markup);
    QList<int> open;      // indexes of the elements being read
    QList<QString> texts; // their text so far
    QList<bool> verbatim; // data-text given
    const QUrl base(url);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            DomElement e;
            e.tag = xml.name().toString().toLower();
            const QXmlStreamAttributes a = xml.attributes();
            e.id = a.value(QStringLiteral("id")).toString();
            e.className = a.value(QStringLiteral("class")).toString();
            if (a.hasAttribute(QStringLiteral("href")))
                e.href = base.resolved(QUrl(a.value(QStringLiteral("href")).toString())).toString();
            e.name = a.value(QStringLiteral("name")).toString();
            e.type = a.value(QStringLiteral("type")).toString();
            e.value = a.value(QStringLiteral("value")).toString();
            e.parent = open.isEmpty() ? -1 : open.last();
            open << int(snap.elements.size());
            verbatim << a.hasAttribute(QStringLiteral("data-text"));
            texts << a.value(QStringLiteral("data-text")).toString();
            snap.elements << e;
        } else if (xml.isCharacters() && !open.isEmpty()) {
            for (int i = 0; i < open.size(); ++i)
                if (!verbatim.at(i)) texts[i] += xml.text();
        } else if (xml.isEndElement() && !open.isEmpty()) {
            DomElement& e = snap.elements[open.last()];
            e.end = int(snap.elements.size());
            e.innerText = verbatim.last() ? texts.last() : texts.last().simplified();
            open.removeLast();
            texts.removeLast();
            verbatim.removeLast();
        }
    }
    if (xml.hasError()) {
        snap.elements.clear();
        return snap;
    }
    snap.isHtml = !snap.elements.isEmpty();
    return snap;
}

void FakeBrowser::show(const DomSnapshot& snapshot) {
    emit beforeNavigate(snapshot.url, true);
    if (!page.url.isEmpty()) m_back << page.url;
    m_forward.clear();
    page = snapshot;
    emit loadStarted();
    emit documentComplete(page.url);
}

void FakeBrowser::navigate(const QString& address) {
    navigations << address;
    DomSnapshot next = site.value(address);
    next.url = address;
    show(next);
}

bool FakeBrowser::goBack() {
    if (m_back.isEmpty()) return false;
    m_forward << page.url;
    const QString address = m_back.takeLast();
    page = site.value(address);
    page.url = address;
    emit documentComplete(page.url);
    return true;
}

bool FakeBrowser::goForward() {
    if (m_forward.isEmpty()) return false;
    m_back << page.url;
    const QString address = m_forward.takeLast();
    page = site.value(address);
    page.url = address;
    emit documentComplete(page.url);
    return true;
}

DomSnapshot FakeBrowser::document(const DomTextRequest& text) {
    textRequests << text;
    DomSnapshot copy = page;
    // Rendered text only where it was asked for, as the real browser does.
    for (DomElement& e : copy.elements)
        if (!text.wants(e.tag, e.className)) e.innerText.clear();
    return copy;
}

bool FakeBrowser::click(int elementIndex) {
    clicks << elementIndex;
    if (onClick) {
        onClick(elementIndex);
        return true;
    }
    if (!page.valid(elementIndex) || page.at(elementIndex).href.isEmpty()) return false;
    navigate(page.at(elementIndex).href);
    return true;
}

bool FakeBrowser::setValue(int elementIndex, const QString& value) {
    if (!page.valid(elementIndex)) return false;
    page.elements[elementIndex].value = value;
    return true;
}

} // namespace peldora::test
