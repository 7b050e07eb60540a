#pragma once
#include "download/SiteLogin.h"
#include "platform/qt/WebEngineBrowser.h"

#include <QFrame>
#include <QPointer>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class QVBoxLayout;

namespace peldora {

struct AppContext;

// PicWebBK: the download window's login page. It lies exactly over the widget it covers (the
// download list ListView3), hidden until open() shows it, with the login address, account and
// password, the login mode, "测试登录", automatic login, the one-minute reload (Timer2, given by
// the window) and the embedded browser Web1 below them, on the program's shared profile.
//
// Web1 is created the first time something needs it (opening the page, a login, a reload); until
// then it would only show a blank page. The window runs "浏览" and "测试登录" (command2(),
// command5()) inside its own work, so it is not closed under a login.
class LoginPanel : public QFrame {
    Q_OBJECT
public:
    LoginPanel(AppContext& ctx, QTimer* refreshTimer, QWidget* cover, QWidget* parent = nullptr);

    SiteLogin& login() { return m_login; }
    // Web1, created on first use.
    WebEngineBrowser* web1();
    bool hasBrowser() const { return m_web1 != nullptr; }

    QPushButton* command2() const { return m_command2; }
    QPushButton* command5() const { return m_command5; }
    QCheckBox* autoLoginBox() const { return m_check2; }
    QCheckBox* autoRefreshBox() const { return m_check1; }

    // "网页登录": shows the page in front; with neither automatic login nor auto refresh on,
    // Web1 opens `rowAddress` (the focused row's first address; empty when there is none).
    void open(const QString& rowAddress);
    // "关闭(隐藏)": hides the page; without auto refresh Web1 goes to a blank page.
    void hidePage();
    // "浏览" and "测试登录".
    void browse();
    void testLogin();
    // A download of the window turned out to be a web page.
    void autoLogin();

signals:
    // A page title for status panel 3 (never "about:blank").
    void titleForStatus(const QString& title);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void followCover();
    void onTitle(const QString& title);

    AppContext& m_ctx;
    SiteLogin m_login;
    QPointer<QWidget> m_cover;
    QTimer* m_timer2;
    QPointer<WebEngineBrowser> m_web1;
    QVBoxLayout* m_layout = nullptr;
    QWidget* m_blank = nullptr; // holds Web1's place until it exists

    QLineEdit* m_text1 = nullptr;
    QLineEdit* m_text2 = nullptr;
    QLineEdit* m_text3 = nullptr;
    QPushButton* m_command2 = nullptr;
    QPushButton* m_command3 = nullptr;
    QPushButton* m_command5 = nullptr;
    QRadioButton* m_option4 = nullptr;
    QRadioButton* m_option5 = nullptr;
    QCheckBox* m_check1 = nullptr;
    QCheckBox* m_check2 = nullptr;
    QComboBox* m_combo3 = nullptr;
};

} // namespace peldora
