#include "platform/qt/DomScript.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

namespace peldora {

namespace {

// Finds an element by document-order index: from the list of the last snapshot while that
// element is still in the document, else by counting the document's elements afresh.
const char* const kFindElement = R"JS(
function peldoraElement(index) {
  const kept = window.peldoraKept;
  if (kept && kept.doc === document && index < kept.list.length) {
    const el = kept.list[index];
    if (el && el.isConnected) return el;
  }
  return document.getElementsByTagName('*')[index] || null;
}
)JS";

const char* const kSnapshot = R"JS(
(function (request) {
  const doc = document;
  const url = doc.URL || '';
  const type = (doc.contentType || '').toLowerCase();
  const isHtml = (type === 'text/html' || type === 'application/xhtml+xml') &&
                 url.toLowerCase() !== 'about:blank' && !!doc.documentElement;
  if (!isHtml) return JSON.stringify({ url: url, html: false, elements: [] });
  const tags = new Set(request.tags);
  const classes = new Set(request.classes);
  const list = Array.prototype.slice.call(doc.getElementsByTagName('*'));
  window.peldoraKept = { doc: doc, list: list };
  const index = new Map();
  const rows = new Array(list.length);
  const str = (v) => (typeof v === 'string' ? v : '');
  for (let i = 0; i < list.length; ++i) {
    const el = list[i];
    index.set(el, i);
    const tag = el.localName || el.tagName.toLowerCase();
    const cls = str(el.getAttribute('class'));
    let text = '';
    if (tags.has(tag) || (cls !== '' && classes.has(cls.toLowerCase())))
      text = str(el.innerText !== undefined ? el.innerText : el.textContent);
    const form = el instanceof HTMLInputElement || el instanceof HTMLSelectElement ||
                 el instanceof HTMLTextAreaElement || el instanceof HTMLButtonElement;
    const parent = el.parentElement ? index.get(el.parentElement) : undefined;
    rows[i] = [tag, str(el.id), cls, text, str(el.href),
               form ? str(el.name) : str(el.getAttribute('name')),
               form ? str(el.type) : str(el.getAttribute('type')),
               form || el instanceof HTMLOptionElement ? str(el.value) : '',
               parent === undefined ? -1 : parent];
  }
  return JSON.stringify({ url: url, html: true, elements: rows });
})
)JS";

QString Json(const QJsonValue& value) {
    // A one-element array keeps the JSON text valid for any value; the brackets are cut off.
    const QByteArray text = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(text.mid(1, text.size() - 2));
}

QJsonArray Sorted(const QSet<QString>& set) {
    QStringList list(set.begin(), set.end());
    list.sort();
    QJsonArray out;
    for (const QString& s : list) out.append(s.toLower());
    return out;
}

} // namespace

QString DomSnapshotScript(const DomTextRequest& text) {
    const QJsonObject request{{QStringLiteral("tags"), Sorted(text.tags)},
                              {QStringLiteral("classes"), Sorted(text.classes)}};
    return QString::fromUtf8(kSnapshot).trimmed() + QLatin1Char('(') +
           QString::fromUtf8(QJsonDocument(request).toJson(QJsonDocument::Compact)) +
           QLatin1Char(')');
}

QString DomClickScript(int elementIndex) {
    return QString::fromUtf8(kFindElement) +
           QStringLiteral("(function (i) { const el = peldoraElement(i); if (!el) return false; "
                          "el.click(); return true; })(%1)")
               .arg(elementIndex);
}

QString DomSetValueScript(int elementIndex, const QString& value) {
    // The events a user's typing would raise, so page scripts that watch the field see it.
    return QString::fromUtf8(kFindElement) +
           QStringLiteral(
               "(function (i, v) { const el = peldoraElement(i); if (!el || !('value' in el)) "
               "return false; el.value = v; "
               "el.dispatchEvent(new Event('input', { bubbles: true })); "
               "el.dispatchEvent(new Event('change', { bubbles: true })); return true; })(%1, %2)")
               .arg(elementIndex)
               .arg(Json(value));
}

QString DomOuterHtmlScript() {
    return QStringLiteral(
        "(function () { const r = document.documentElement; return r ? r.outerHTML : ''; })()");
}

} // namespace peldora
