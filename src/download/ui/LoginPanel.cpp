#include "download/ui/LoginPanel.h"
#include "app/AppContext.h"
#include "common/Text.h"
#include "common/ui/Controls.h"
#include "platform/qt/WebEngineBrowser.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineView>

namespace peldora {

namespace {
const QString kBlank = QStringLiteral("about:blank");
// Web1 stops 40 twips short of the panel's right and bottom edges.
constexpr int kBrowserInset = 40 / 15;
} // namespace

LoginPanel::LoginPanel(AppContext& ctx, QTimer* refreshTimer, QWidget* cover, QWidget* parent)
    : QFrame(parent ? parent : cover->parentWidget()), m_ctx(ctx), m_login(ctx, this),
      m_cover(cover), m_timer2(refreshTimer) {
    setObjectName(QStringLiteral("PicWebBK"));
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);

    m_text1 = MakeControl<QLineEdit>(this, QStringLiteral("Text1"));
    m_command2 = MakeControl<QPushButton>(this, QStringLiteral("Command2"), QStringLiteral("浏览"));
    m_option5 = MakeControl<QRadioButton>(this, QStringLiteral("Option5"), QStringLiteral("IP登录"));
    m_option4 =
        MakeControl<QRadioButton>(this, QStringLiteral("Option4"), QStringLiteral("帐号登录："));
    m_text2 = MakeControl<QLineEdit>(this, QStringLiteral("Text2"));
    m_text3 = MakeControl<QLineEdit>(this, QStringLiteral("Text3"));
    // What is typed as the password is not shown.
    m_text3->setEchoMode(QLineEdit::Password);
    m_command5 =
        MakeControl<QPushButton>(this, QStringLiteral("Command5"), QStringLiteral("测试登录"));
    m_check2 = MakeControl<QCheckBox>(this, QStringLiteral("Check2"), QStringLiteral("自动登录"));
    m_combo3 = MakeControl<QComboBox>(this, QStringLiteral("Combo3"));
    m_combo3->addItem(kAutoLoginCondition);
    m_combo3->setCurrentIndex(0);
    m_check1 = MakeControl<QCheckBox>(this, QStringLiteral("Check1"),
                                      QStringLiteral("自动刷新(每分钟)"));
    m_command3 =
        MakeControl<QPushButton>(this, QStringLiteral("Command3"), QStringLiteral("关闭(隐藏)"));
    auto* modes = new QButtonGroup(this);
    modes->addButton(m_option4);
    modes->addButton(m_option5);
    m_option4->setChecked(true);

    auto* fields = new QHBoxLayout;
    fields->addWidget(new QLabel(QStringLiteral("网址："), this));
    fields->addWidget(m_text1, 3);
    fields->addWidget(m_command2);
    fields->addSpacing(8);
    fields->addWidget(m_option5);
    fields->addWidget(m_option4);
    fields->addWidget(m_text2, 1);
    fields->addWidget(new QLabel(QStringLiteral("密码："), this));
    fields->addWidget(m_text3, 1);
    fields->addWidget(m_command5);
    auto* options = new QHBoxLayout;
    options->addWidget(m_check2);
    options->addSpacing(8);
    options->addWidget(new QLabel(QStringLiteral("自动登录条件："), this));
    options->addWidget(m_combo3);
    options->addSpacing(8);
    options->addWidget(m_check1);
    options->addStretch();
    options->addWidget(m_command3);

    m_blank = new QWidget(this);
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, kBrowserInset, kBrowserInset);
    m_layout->addLayout(fields);
    m_layout->addLayout(options);
    m_layout->addWidget(m_blank, 1);

    // What the user types is the login's; nothing of it is written anywhere.
    connect(m_text1, &QLineEdit::textChanged, this, [this](const QString& t) { m_login.address = t; });
    connect(m_text2, &QLineEdit::textChanged, this, [this](const QString& t) { m_login.account = t; });
    connect(m_text3, &QLineEdit::textChanged, this, [this](const QString& t) { m_login.password = t; });
    const auto mode = [this] {
        m_login.mode = m_option4->isChecked()   ? SiteLogin::Mode::Account
                       : m_option5->isChecked() ? SiteLogin::Mode::Ip
                                                : SiteLogin::Mode::None;
    };
    connect(m_option4, &QRadioButton::toggled, this, mode);
    connect(m_option5, &QRadioButton::toggled, this, mode);
    mode();

    connect(m_check2, &QCheckBox::toggled, this, [this](bool on) { m_login.setAutoLogin(on); });
    connect(&m_login, &SiteLogin::autoLoginChanged, m_check2, &QCheckBox::setChecked);
    connect(&m_login, &SiteLogin::runningChanged, m_command5,
            [this](bool running) { m_command5->setEnabled(!running); });
    connect(&m_login, &SiteLogin::browsingChanged, m_command2,
            [this](bool browsing) { m_command2->setEnabled(!browsing); });
    connect(m_command3, &QPushButton::clicked, this, &LoginPanel::hidePage);

    connect(m_check1, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_timer2) return;
        if (on)
            m_timer2->start();
        else
            m_timer2->stop();
    });
    if (m_timer2)
        connect(m_timer2, &QTimer::timeout, this, [this] {
            if (m_web1) m_web1->refresh();
        });

    hide();
    if (m_cover) {
        m_cover->installEventFilter(this);
        followCover();
    }
}

WebEngineBrowser* LoginPanel::web1() {
    if (m_web1) return m_web1;
    auto* web = new WebEngineBrowser(this);
    web->setSilent(true);
    web->view()->setObjectName(QStringLiteral("Web1"));
    m_layout->replaceWidget(m_blank, web->view());
    delete m_blank;
    m_blank = nullptr;
    m_web1 = web;
    connect(web, &Browser::titleChanged, this, &LoginPanel::onTitle);
    m_login.setBrowser(web);
    web->navigate(kBlank);
    return web;
}

void LoginPanel::onTitle(const QString& title) {
    if (TrimSpaces(title).toLower() == kBlank) return;
    emit titleForStatus(title);
}

void LoginPanel::open(const QString& rowAddress) {
    WebEngineBrowser* web = web1();
    followCover();
    show();
    raise();
    if (!m_check2->isChecked() && !m_check1->isChecked() && !rowAddress.isEmpty())
        web->navigate(rowAddress);
}

void LoginPanel::hidePage() {
    hide();
    if (!m_check1->isChecked() && m_web1) m_web1->navigate(kBlank);
}

void LoginPanel::browse() {
    web1();
    m_login.browse();
}

void LoginPanel::testLogin() {
    web1();
    m_login.login(true);
}

void LoginPanel::autoLogin() {
    if (!m_login.autoLogin()) return;
    web1();
    m_login.autoLoginAfterWebPage();
}

bool LoginPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_cover && (event->type() == QEvent::Resize || event->type() == QEvent::Move ||
                               event->type() == QEvent::Show))
        followCover();
    return QFrame::eventFilter(watched, event);
}

void LoginPanel::followCover() {
    if (m_cover && m_cover->parentWidget() == parentWidget()) setGeometry(m_cover->geometry());
}

} // namespace peldora
