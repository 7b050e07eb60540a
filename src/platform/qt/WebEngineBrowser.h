#pragma once
#include "platform/Browser.h"

#include <QPointer>
#include <QUrl>

class QWebEngineView;
class QWebEnginePage;

namespace peldora {

class BrowserPage;
class Dialogs;

// The embedded browser on Qt WebEngine, on the shared profile. The view is created with the
// browser and handed to a window's layout; if no window has taken it, it goes with the browser.
// New-window requests load in this browser, pages cannot close it, and with silent on script
// dialogs are not shown (a confirm answers "cancel", a prompt is cancelled, as browsers do for a
// page whose dialogs are blocked).
class WebEngineBrowser : public Browser {
    Q_OBJECT
public:
    explicit WebEngineBrowser(QObject* parent = nullptr);
    ~WebEngineBrowser() override;

    QWebEngineView* view() const;
    QWebEnginePage* page() const;

    void navigate(const QString& address) override;
    bool goBack() override;
    bool goForward() override;
    void refresh() override;
    void stop() override;
    bool busy() const override;
    void setSilent(bool silent) override;
    // Where a page's alert, confirm and prompt are shown while not silent (by default, Qt's
    // own boxes).
    void setDialogs(Dialogs* dialogs);
    QString currentUrl() const override;
    QString title() const override;

    DomSnapshot document(const DomTextRequest& text) override;
    bool click(int elementIndex) override;
    bool setValue(int elementIndex, const QString& value) override;
    QString outerHtml() override;

    // How long a read of the page may take before it is given up (a hung page answers never).
    void setScriptTimeout(int milliseconds) { m_scriptTimeoutMs = milliseconds; }
    int scriptTimeout() const { return m_scriptTimeoutMs; }

private:
    // Runs a script in the program's own script world and waits for its result; an invalid
    // value on timeout or when there is no page.
    QVariant runScript(const QString& script, int timeoutMs);
    void onNewWindow(const QUrl& address);

    QPointer<QWebEngineView> m_view;
    QPointer<BrowserPage> m_page;
    bool m_navigationPending = false;
    QUrl m_loadingUrl; // the load in progress, as its start was reported
    QUrl m_queuedUrl;  // a navigation waiting for the blank page to finish
    int m_scriptTimeoutMs = 10000;
};

} // namespace peldora
