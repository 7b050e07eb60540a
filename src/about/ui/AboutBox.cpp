#include "about/ui/AboutBox.h"
#include "about/VersionCheck.h"
#include "app/AppContext.h"
#include "common/Maker.h"
#include "common/ShellHelpers.h"
#include "common/ui/Controls.h"
#include "platform/qt/Resources.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace peldora {

AboutBox::AboutBox(AppContext& ctx, QWidget* owner)
    : QDialog(owner), m_ctx(ctx), findSysInfo(FindSystemInfoProgram), startSysInfo(StartProgram) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setMouseTracking(true);

    auto* icon = MakeControl<QLabel>(this, QStringLiteral("picIcon"));
    icon->setPixmap(ProgramIcon().pixmap(48, 48));
    auto* name = MakeControl<QLabel>(this, QStringLiteral("lsoftname"));
    QFont big = name->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    name->setFont(big);
    auto* version = MakeControl<QLabel>(this, QStringLiteral("lblVersion"));
    m_label10 = MakeControl<QLabel>(this, QStringLiteral("Label10"));
    m_label10->setToolTip(QStringLiteral("点击打开查看"));
    auto* label1 = MakeControl<QLabel>(this, QStringLiteral("Label1"), QStringLiteral("软件制作：") + kMakerName);
    m_label2 = MakeControl<QLabel>(this, QStringLiteral("Label2"),
                                   QStringLiteral("Peldora主页：") + kMakerSite1);
    m_label2->setToolTip(QStringLiteral("访问支持网站"));
    m_label7 = MakeControl<QLabel>(this, QStringLiteral("Label7"),
                                   QStringLiteral("Peldora软件站：") + kMakerSite2);
    m_label4 = MakeControl<QLabel>(this, QStringLiteral("Label4"),
                                   QStringLiteral("Email：") + MakerMailAddress());
    m_label4->setToolTip(QStringLiteral("给软件作者写邮件"));
    auto* label5 = MakeControl<QLabel>(this, QStringLiteral("Label5"),
                                       QStringLiteral("Matrix：@peldora:matrix.org"));
    m_line2 = MakeControl<QFrame>(this, QStringLiteral("Line2"));
    m_line2->setFrameShape(QFrame::NoFrame);
    m_line2->setStyleSheet(QStringLiteral("background-color: red;"));
    m_line2->hide();
    m_ok = MakeControl<QPushButton>(this, QStringLiteral("cmdOK"), QStringLiteral("确定"));
    m_sysInfo = MakeControl<QPushButton>(this, QStringLiteral("cmdSysInfo"),
                                         QStringLiteral("系统信息(&S)..."));
    m_sysInfo->setAutoDefault(false);
    m_ok->setDefault(true);

    for (QLabel* link : {m_label10, m_label2, m_label7, m_label4}) {
        link->setCursor(Qt::PointingHandCursor);
        link->setStyleSheet(QStringLiteral("color: #0000c0;"));
        link->setMouseTracking(true);
        link->installEventFilter(this);
    }

    auto* head = new QHBoxLayout;
    head->addWidget(icon, 0, Qt::AlignTop);
    auto* titles = new QVBoxLayout;
    titles->addWidget(name);
    titles->addWidget(version);
    titles->addWidget(m_label10);
    head->addLayout(titles, 1);
    auto* contacts = new QVBoxLayout;
    contacts->setSpacing(8);
    for (QWidget* w : {static_cast<QWidget*>(label1), static_cast<QWidget*>(m_label2),
                       static_cast<QWidget*>(m_label7), static_cast<QWidget*>(m_label4),
                       static_cast<QWidget*>(label5)})
        contacts->addWidget(w);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_sysInfo);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addSpacing(12);
    layout->addLayout(contacts);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    setMinimumWidth(440);

    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_sysInfo, &QPushButton::clicked, this,
            [this] { StartSysInfo(m_ctx.dialogs, findSysInfo, startSysInfo); });

    // The load, in its order: caption, title, version, icon, the newer version if one is known.
    setWindowTitle(AboutCaption());
    name->setText(QStringLiteral("Peldora"));
    version->setText(AboutVersionText());
    setWindowIcon(ProgramIcon());
    m_label10->setText(AboutLatestText(m_ctx.state.latestVersion));
}

QLabel* AboutBox::label(const QString& name) const { return findChild<QLabel*>(name); }

void AboutBox::模拟网址下划线(QLabel* link) {
    const QRect r = link->geometry();
    m_line2->setGeometry(r.left(), r.top() + r.height(), r.width(), 1);
    m_line2->show();
    m_line2->raise();
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event) {
    auto* link = qobject_cast<QLabel*>(watched);
    if (link && (link == m_label10 || link == m_label2 || link == m_label7 || link == m_label4)) {
        if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove)
            模拟网址下划线(link);
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            linkClicked(link);
    }
    return QDialog::eventFilter(watched, event);
}

void AboutBox::mouseMoveEvent(QMouseEvent* event) {
    m_line2->hide(); // the free area of the window
    QDialog::mouseMoveEvent(event);
}

void AboutBox::linkClicked(QLabel* link) {
    if (link == m_label10) {
        // The program's page beside the update file; the maker's download page while no
        // update address is set.
        const QString page = UpdateBaseAddress(m_ctx).isEmpty() ? kMakerLatestVersion
                                                                : ProgramPageAddress(m_ctx, false);
        OpenInSystemBrowser(m_ctx.shell, page, false);
    } else if (link == m_label2) {
        OpenInSystemBrowser(m_ctx.shell, kMakerSite1, true);
    } else if (link == m_label7) {
        OpenInSystemBrowser(m_ctx.shell, kMakerSite2, true);
    } else if (link == m_label4) {
        ComposeSuggestionMail(m_ctx.shell);
    }
}

void ShowAboutBox(AppContext& ctx, QWidget* owner, const std::function<void()>& closed) {
    QPointer<AboutBox> box = new AboutBox(ctx, owner);
    box->setWindowModality(Qt::ApplicationModal);
    box->exec();
    if (box) box->deleteLater();
    if (closed) closed();
}

} // namespace peldora
