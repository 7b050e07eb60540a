#pragma once
// A browser for logic tests: serves scripted document snapshots by address, records what the
// program asked of it, and lets a test decide what a click does.
#include "platform/Browser.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <functional>

namespace peldora::test {

// A snapshot from well-formed markup (XHTML-like; one root element). innerText is the
// element's text with whitespace runs collapsed and the ends trimmed, as a browser renders it,
// unless the element carries data-text="...", which is taken verbatim. Links get absolute
// addresses against `url`. Markup that does not parse gives a non-HTML snapshot.
DomSnapshot SnapshotFromMarkup(const QString& markup, const QString& url);

class FakeBrowser : public Browser {
    Q_OBJECT
public:
    using Browser::Browser;

    // Pages by address; navigate() shows the page stored for the address (or a blank one).
    QHash<QString, DomSnapshot> site;
    QHash<QString, QString> sources; // outer HTML by address
    // The page shown now.
    DomSnapshot page;
    bool isBusy = false;
    bool silent = false;

    QStringList navigations;
    QList<int> clicks;
    QList<DomTextRequest> textRequests;
    // Runs for every click; by default a click on a link navigates to its href.
    std::function<void(int elementIndex)> onClick;

    // Shows a page as if it had loaded: beforeNavigate, then documentComplete.
    void show(const DomSnapshot& snapshot);

    void navigate(const QString& address) override;
    bool goBack() override;
    bool goForward() override;
    void refresh() override {}
    void stop() override { isBusy = false; }
    bool busy() const override { return isBusy; }
    void setSilent(bool on) override { silent = on; }
    QString currentUrl() const override { return page.url; }
    QString title() const override { return {}; }
    DomSnapshot document(const DomTextRequest& text) override;
    bool click(int elementIndex) override;
    bool setValue(int elementIndex, const QString& value) override;
    QString outerHtml() override { return sources.value(page.url); }

private:
    QStringList m_back;
    QStringList m_forward;
};

} // namespace peldora::test
