#pragma once
#include "common/DomSnapshot.h"

#include <QObject>
#include <QString>

namespace peldora {

// The embedded browser as the program's procedures use it. The Qt WebEngine implementation is
// platform/qt/WebEngineBrowser; tests script a fake. New-window requests open in the same
// browser, pages cannot close it, and with silent on, script dialogs are not shown.
class Browser : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void navigate(const QString& address) = 0;
    // false when there is nothing to move to.
    virtual bool goBack() = 0;
    virtual bool goForward() = 0;
    virtual void refresh() = 0;
    virtual void stop() = 0;
    // true while the browser is still loading the page.
    virtual bool busy() const = 0;
    virtual void setSilent(bool silent) = 0;
    virtual QString currentUrl() const = 0;
    virtual QString title() const = 0;

    // The current document (isHtml false when no HTML document is shown). Waits for the page's
    // answer while processing events.
    virtual DomSnapshot document(const DomTextRequest& text) = 0;
    // Presses an element of the current document as a user would; index from the last snapshot.
    virtual bool click(int elementIndex) = 0;
    virtual bool setValue(int elementIndex, const QString& value) = 0;
    // The page source as the browser holds it (root element's outer HTML).
    virtual QString outerHtml() = 0;

signals:
    void statusTextChanged(const QString& text);
    void titleChanged(const QString& title);
    // Before any navigation, for the top-level page and for frames.
    void beforeNavigate(const QString& address, bool topLevel);
    // The top-level document finished loading (also on failure).
    void documentComplete(const QString& address);
    void loadStarted();
};

} // namespace peldora
