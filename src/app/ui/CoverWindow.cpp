#include "app/ui/CoverWindow.h"
#include "Version.h"
#include "app/AppContext.h"
#include "app/Startup.h"
#include "common/Maker.h"
#include "common/ShellHelpers.h"
#include "common/ui/Controls.h"
#include "platform/Clock.h"
#include "platform/qt/Resources.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace peldora {

namespace {
const char16_t* const kDescription =
    u"J-STAGE(日本Free Access学术期刊)“日本科学技术信息集成系统”（Japan Science and Technology "
    u"Information Aggregator, Electronic，简称J-STAGE）由日本科学技术振兴机构（Japan Science and "
    u"Technology Agency，简称JST）开发，收录了日本各科技学会出版的文献（文献多为英文，少数为日文），"
    u"截止到2017年，该系统有2156种期刊，244种会议论文，学科有数学；通讯与信息科学；综合；物理；自动化；"
    u"化学与化工；地质；农业；地理；环境科学；电子；生物等。";
}

CoverWindow::CoverWindow(AppContext& ctx, QWidget* parent) : QWidget(parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("fCover"));
    setWindowIcon(ProgramIcon());
    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(QPixmap(QStringLiteral(":/images/cover.png")));
    image->setAlignment(Qt::AlignCenter);

    const QString texts[6] = {
        {},
        QString::fromUtf16(kDescription),
        QStringLiteral("版本："),
        QStringLiteral("最新版本："),
        QStringLiteral("(该软件仅用于科研人员辅助少量下载；请不要恶意下载和大量下载！)"),
        QStringLiteral("正在加载组件，请稍候..."),
    };
    for (int i = 1; i <= 5; ++i)
        m_labels[i] = MakeControl<QLabel>(this, QStringLiteral("Label%1").arg(i), texts[i]);
    m_labels[1]->setWordWrap(true);
    m_labels[4]->setWordWrap(true);
    m_labels[4]->setStyleSheet(QStringLiteral("color: #c00000;"));
    m_labels[3]->setCursor(Qt::PointingHandCursor);
    m_labels[3]->installEventFilter(this);

    m_command1 = MakeControl<QPushButton>(this, QStringLiteral("Command1"), QStringLiteral("资料检索下载"));
    m_command3 = MakeControl<QPushButton>(this, QStringLiteral("Command3"), QStringLiteral("退出软件"));
    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(100);

    auto* versions = new QHBoxLayout;
    versions->addWidget(m_labels[2]);
    versions->addStretch();
    versions->addWidget(m_labels[3]);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_command1);
    buttons->addWidget(m_command3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(image);
    layout->addWidget(m_labels[1]);
    layout->addLayout(versions);
    layout->addWidget(m_labels[4]);
    layout->addWidget(m_labels[5]);
    layout->addLayout(buttons);
    setFixedWidth(600);

    connect(m_command1, &QPushButton::clicked, this, &CoverWindow::searchRequested);
    connect(m_command3, &QPushButton::clicked, this, &QWidget::close);
    connect(m_timer1, &QTimer::timeout, this, [this] {
        m_timer1->stop();
        if (startVersionCheck) startVersionCheck();
    });
}

QLabel* CoverWindow::label(int n) const { return n >= 1 && n <= 5 ? m_labels[n] : nullptr; }

void CoverWindow::load() {
    setWindowTitle(QStringLiteral("Peldora"));
    m_labels[2]->setText(QStringLiteral("版本:%1.%2.%3")
                             .arg(kVersionMajor)
                             .arg(kVersionMinor)
                             .arg(kVersionPatch));
    show();
    m_ctx.pump.processEvents();
    LoadStartupState(m_ctx);
    m_timer1->start();
    m_labels[5]->hide();
}

bool CoverWindow::eventFilter(QObject* watched, QEvent* event) {
    // Label3 is a link to the program's page, where newer versions are offered.
    if (watched == m_labels[3] && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        OpenInSystemBrowser(m_ctx.shell, kMakerLatestVersion, false);
    return QWidget::eventFilter(watched, event);
}

void CoverWindow::closeEvent(QCloseEvent* event) {
    WriteDefaultEmulationAtExit(m_ctx);
    event->accept();
    if (m_ctx.endProgram) m_ctx.endProgram();
}

} // namespace peldora
