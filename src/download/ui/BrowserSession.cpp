#include "download/ui/BrowserSession.h"
#include "download/DownloadNetwork.h"
#include "platform/qt/WebProfile.h"

#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

namespace peldora {

void JoinBrowserSession(DownloadNetwork& network) {
    QWebEngineProfile* profile = SharedWebProfile();
    QWebEngineCookieStore* store = profile->cookieStore();
    DownloadCookieJar* jar = network.cookieJar();
    // The profile's mirror has seen every cookie since the profile was made; from now on the
    // store's reports keep the jar in step.
    for (const QNetworkCookie& cookie : SharedCookieMirror()->cookies()) jar->addBrowserCookie(cookie);
    QObject::connect(store, &QWebEngineCookieStore::cookieAdded, jar,
                     &DownloadCookieJar::addBrowserCookie);
    QObject::connect(store, &QWebEngineCookieStore::cookieRemoved, jar,
                     &DownloadCookieJar::removeBrowserCookie);
    // The jar hands over normalised cookies (their domain set), which name their own origin.
    QObject::connect(jar, &DownloadCookieJar::cookieSetByResponse, store,
                     [store](const QNetworkCookie& cookie) { store->setCookie(cookie); });
    QObject::connect(jar, &DownloadCookieJar::cookieDeletedByResponse, store,
                     [store](const QNetworkCookie& cookie) { store->deleteCookie(cookie); });
}

} // namespace peldora
