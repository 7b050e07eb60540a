#include "platform/qt/WebEngineBrowser.h"
#include "platform/Dialogs.h"
#include "platform/qt/DomScript.h"
#include "platform/qt/WebProfile.h"

#include <QEventLoop>
#include <QTimer>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <functional>
#include <memory>

namespace peldora {

// The page of the embedded browser: reports navigations (frames too) and keeps script dialogs
// quiet when the browser is silent.
class BrowserPage : public QWebEnginePage {
public:
    BrowserPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {}

    std::function<void(const QUrl&, bool topLevel)> onNavigation;
    bool silent = false;
    Dialogs* dialogs = nullptr;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override {
        if (onNavigation) onNavigation(url, isMainFrame);
        return true;
    }
    void javaScriptAlert(const QUrl& origin, const QString& msg) override {
        if (silent) return;
        if (!dialogs) return QWebEnginePage::javaScriptAlert(origin, msg);
        dialogs->messageBox(msg, MessageIcon::Exclamation);
    }
    bool javaScriptConfirm(const QUrl& origin, const QString& msg) override {
        if (silent) return false;
        if (!dialogs) return QWebEnginePage::javaScriptConfirm(origin, msg);
        return dialogs->messageBox(msg, MessageIcon::Question, MessageButtons::OkCancel) ==
               MessageAnswer::Ok;
    }
    bool javaScriptPrompt(const QUrl& origin, const QString& msg, const QString& defaultValue,
                          QString* result) override {
        if (silent) return false;
        if (!dialogs) return QWebEnginePage::javaScriptPrompt(origin, msg, defaultValue, result);
        const std::optional<QString> answer = dialogs->inputBox(msg, QString(), defaultValue);
        if (answer && result) *result = *answer;
        return answer.has_value();
    }
    // A new window is not created here: the request is answered by loading its address in this
    // page (WebEngineBrowser::onNewWindow).
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }
};

WebEngineBrowser::WebEngineBrowser(QObject* parent) : Browser(parent) {
    m_view = new QWebEngineView;
    m_page = new BrowserPage(SharedWebProfile(), m_view);
    m_view->setPage(m_page);

    m_page->onNavigation = [this](const QUrl& url, bool topLevel) {
        emit beforeNavigate(url.toString(), topLevel);
    };
    connect(m_page, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest& request) { onNewWindow(request.requestedUrl()); });
    // A page's window.close() is not obeyed: windowCloseRequested is left unconnected.
    // Loads are reported with their own address, not the page's: a load superseded by the
    // next one ends while the page already names the next address.
    connect(m_page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
            m_loadingUrl = info.url();
            m_navigationPending = m_queuedUrl.isValid();
            emit loadStarted();
            return;
        }
        m_loadingUrl.clear();
        if (m_queuedUrl.isValid()) {
            m_page->load(std::exchange(m_queuedUrl, QUrl()));
            return;
        }
        m_navigationPending = false;
        emit documentComplete(info.url().toString());
    });
    connect(m_page, &QWebEnginePage::linkHovered, this, &Browser::statusTextChanged);
    connect(m_page, &QWebEnginePage::titleChanged, this, &Browser::titleChanged);
}

WebEngineBrowser::~WebEngineBrowser() {
    // A view no window has taken goes with the browser; one inside a window goes with the window.
    if (m_view && !m_view->parentWidget()) delete m_view.data();
}

QWebEngineView* WebEngineBrowser::view() const {
    return m_view;
}
QWebEnginePage* WebEngineBrowser::page() const {
    return m_page;
}

void WebEngineBrowser::navigate(const QString& address) {
    if (!m_page) return;
    const QUrl url = QUrl::fromUserInput(address);
    if (!url.isValid()) return;
    // Busy from the request on, not only from the engine's first report of it.
    m_navigationPending = true;
    // A load asked for while the blank page is still loading would load without any report of
    // its start or end; it waits the moment until the blank page is done.
    if (m_page->isLoading() && m_loadingUrl == QUrl(QStringLiteral("about:blank"))) {
        m_queuedUrl = url;
        return;
    }
    m_page->load(url);
}

bool WebEngineBrowser::goBack() {
    if (!m_page || !m_page->history()->canGoBack()) return false;
    m_page->history()->back();
    return true;
}

bool WebEngineBrowser::goForward() {
    if (!m_page || !m_page->history()->canGoForward()) return false;
    m_page->history()->forward();
    return true;
}

void WebEngineBrowser::refresh() {
    if (m_page) m_page->triggerAction(QWebEnginePage::Reload);
}

void WebEngineBrowser::stop() {
    if (m_page) m_page->triggerAction(QWebEnginePage::Stop);
}

bool WebEngineBrowser::busy() const {
    return m_page && (m_navigationPending || m_page->isLoading());
}

void WebEngineBrowser::setDialogs(Dialogs* dialogs) {
    if (m_page) m_page->dialogs = dialogs;
}

void WebEngineBrowser::setSilent(bool silent) {
    if (m_page) m_page->silent = silent;
}

QString WebEngineBrowser::currentUrl() const {
    return m_page ? m_page->url().toString() : QString();
}

QString WebEngineBrowser::title() const {
    return m_page ? m_page->title() : QString();
}

void WebEngineBrowser::onNewWindow(const QUrl& address) {
    const QString text = address.toString().trimmed();
    if (text.isEmpty() || text.compare(QStringLiteral("about:blank"), Qt::CaseInsensitive) == 0)
        return;
    navigate(text);
}

QVariant WebEngineBrowser::runScript(const QString& script, int timeoutMs) {
    // A page that has never loaded anything has no document to ask.
    if (!m_page || m_page->url().isEmpty()) return {};
    struct Answer {
        QVariant value;
        bool done = false;
        QEventLoop* loop = nullptr;
    };
    auto answer = std::make_shared<Answer>();
    QEventLoop loop;
    answer->loop = &loop;
    m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                          [answer](const QVariant& value) {
                              answer->value = value;
                              answer->done = true;
                              if (answer->loop) answer->loop->quit();
                          });
    if (!answer->done) {
        QTimer timer;
        timer.setSingleShot(true);
        connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        // A page destroyed while we wait answers never.
        connect(m_page, &QObject::destroyed, &loop, &QEventLoop::quit);
        timer.start(timeoutMs);
        loop.exec();
    }
    answer->loop = nullptr;
    return answer->done ? answer->value : QVariant();
}

DomSnapshot WebEngineBrowser::document(const DomTextRequest& text) {
    const QVariant json = runScript(DomSnapshotScript(text), m_scriptTimeoutMs);
    if (json.typeId() != QMetaType::QString) {
        DomSnapshot none;
        none.url = currentUrl();
        return none;
    }
    return DomSnapshot::FromJson(json.toString().toUtf8());
}

bool WebEngineBrowser::click(int elementIndex) {
    if (elementIndex < 0) return false;
    return runScript(DomClickScript(elementIndex), m_scriptTimeoutMs).toBool();
}

bool WebEngineBrowser::setValue(int elementIndex, const QString& value) {
    if (elementIndex < 0) return false;
    return runScript(DomSetValueScript(elementIndex, value), m_scriptTimeoutMs).toBool();
}

QString WebEngineBrowser::outerHtml() {
    return runScript(DomOuterHtmlScript(), m_scriptTimeoutMs).toString();
}

} // namespace peldora
