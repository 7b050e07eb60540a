#include "app/ui/OptionsDialog.h"
#include "app/AppContext.h"
#include "app/SettingsStore.h"
#include "common/ui/Controls.h"
#include "download/ui/DownloadWindow.h"
#include "platform/qt/Resources.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace peldora {

namespace {

QLabel* GreyLabel(QWidget* parent, const QString& name, const QString& text) {
    auto* label = MakeControl<QLabel>(parent, name, text);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, QColor(128, 128, 128));
    label->setPalette(p);
    return label;
}

// On screen, in this order: "默认", "IE10", "IE9", "IE8", "IE7", "IE11".
constexpr int kIeOrder[6] = {10, 3, 2, 1, 0, 4};

} // namespace

OptionsDialog::OptionsDialog(AppContext& ctx, DownloadWindow* downloadWindow, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_downloadWindow(downloadWindow) {
    setObjectName(QStringLiteral("fOption"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);

    layout->addWidget(MakeControl<QLabel>(this, QStringLiteral("Label1"), QStringLiteral("下载方式：")));
    m_option1 = MakeControl<QRadioButton>(
        this, QStringLiteral("Option1"), QStringLiteral("下载方式一 (支持HTTP，单线程，代理服务器下载)"));
    m_option2 = MakeControl<QRadioButton>(this, QStringLiteral("Option2"),
                                          QStringLiteral("下载方式二 (支持HTTP，多线程下载)"));
    auto* methods = new QButtonGroup(this);
    methods->addButton(m_option1);
    methods->addButton(m_option2);
    m_option1->setChecked(true);
    layout->addWidget(m_option1);

    auto* proxy = new QGridLayout;
    proxy->setContentsMargins(24, 0, 0, 0);
    m_check1 = MakeControl<QCheckBox>(this, QStringLiteral("Check1"), QStringLiteral("下载使用代理服务器"));
    m_text6 = MakeControl<QLineEdit>(this, QStringLiteral("Text6"));
    m_text8 = MakeControl<QLineEdit>(this, QStringLiteral("Text8"));
    m_text8->setMaximumWidth(80);
    proxy->addWidget(m_check1, 0, 0, 1, 3);
    proxy->addWidget(MakeControl<QLabel>(this, QStringLiteral("Label14"), QStringLiteral("地址：")), 1, 0);
    proxy->addWidget(m_text6, 1, 1);
    proxy->addWidget(GreyLabel(this, QStringLiteral("Label6"),
                               QStringLiteral("(如：proxy.example.com 或者 192.168.1.1)")),
                     1, 2);
    proxy->addWidget(MakeControl<QLabel>(this, QStringLiteral("Label15"), QStringLiteral("端口：")), 2, 0);
    proxy->addWidget(m_text8, 2, 1, Qt::AlignLeft);
    proxy->addWidget(GreyLabel(this, QStringLiteral("Label10"), QStringLiteral("(如：3128 或者 80 等等)")),
                     2, 2);
    layout->addLayout(proxy);
    layout->addWidget(m_option2);

    // The size box between its label and the unit.
    auto* label2 = MakeControl<QLabel>(this, QStringLiteral("Label2"), QStringLiteral("下载文件大小不超过："));
    m_text1 = MakeControl<QLineEdit>(this, QStringLiteral("Text1"), QStringLiteral("10"));
    m_text1->setFixedWidth(56);
    m_text1->setAlignment(Qt::AlignRight);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(label2);
    sizeRow->addWidget(m_text1);
    sizeRow->addWidget(new QLabel(QStringLiteral("MB"), this));
    sizeRow->addStretch();
    layout->addSpacing(6);
    layout->addLayout(sizeRow);
    m_check2 = MakeControl<QCheckBox>(this, QStringLiteral("Check2"),
                                      QStringLiteral("提取网页信息时，提示下载保存路径"));
    layout->addWidget(m_check2);

    auto* frame = MakeControl<QGroupBox>(this, QStringLiteral("Frame1"),
                                         QStringLiteral("设置本软件内嵌浏览器模拟版本号"));
    auto* frameLayout = new QVBoxLayout(frame);
    auto* ieRow = new QHBoxLayout;
    auto* ieGroup = new QButtonGroup(frame);
    for (int index : kIeOrder) {
        const QString caption = index == kDefaultEmulationIndex ? QStringLiteral("默认") : EmulationLabel(index);
        m_optionIE[index] =
            MakeControl<QRadioButton>(frame, QStringLiteral("OptionIE_%1").arg(index), caption);
        ieGroup->addButton(m_optionIE[index]);
        ieRow->addWidget(m_optionIE[index]);
    }
    m_optionIE[kDefaultEmulationIndex]->setChecked(true);
    ieRow->addStretch();
    frameLayout->addLayout(ieRow);
    frameLayout->addWidget(MakeControl<QLabel>(frame, QStringLiteral("Label9"),
                                               QStringLiteral("(修改IE版本以后，需要重启软件才能生效！)")));
    layout->addWidget(frame);

    m_command1 = MakeControl<QPushButton>(this, QStringLiteral("Command1"), QStringLiteral("确定"));
    m_command2 = MakeControl<QPushButton>(this, QStringLiteral("Command2"), QStringLiteral("关闭"));
    m_command1->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_command1);
    buttons->addWidget(m_command2);
    layout->addLayout(buttons);

    connect(m_command1, &QPushButton::clicked, this, &OptionsDialog::onOk);
    connect(m_command2, &QPushButton::clicked, this, &QDialog::reject);
    load();
}

QRadioButton* OptionsDialog::optionIE(int index) const {
    return index >= 0 && index <= 10 ? m_optionIE[index] : nullptr;
}

void OptionsDialog::load() {
    setWindowTitle(QStringLiteral("设置-") + SettingsStore::kApplication);
    setWindowIcon(ProgramIcon());
    const OptionValues v = LoadOptions(m_ctx.state);
    m_check1->setChecked(v.proxyEnabled);
    m_text6->setText(v.proxyAddress);
    m_text8->setText(v.proxyPort);
    if (m_ctx.state.downloadMethod == DownloadMethod::Single) m_option1->setChecked(true);
    if (m_ctx.state.downloadMethod == DownloadMethod::Parallel) m_option2->setChecked(true);
    m_check2->setChecked(v.promptSaveFolder);
    m_text1->setText(v.maxFileSize);
    if (QRadioButton* ie = optionIE(v.emulationIndex)) ie->setChecked(true);
}

OptionValues OptionsDialog::values() const {
    OptionValues v;
    v.method = m_option2->isChecked() ? 2 : 1;
    v.proxyEnabled = m_check1->isChecked();
    v.proxyAddress = m_text6->text();
    v.proxyPort = m_text8->text();
    v.promptSaveFolder = m_check2->isChecked();
    v.maxFileSize = m_text1->text();
    v.emulationIndex = kDefaultEmulationIndex;
    for (int i = 0; i <= 4; ++i)
        if (m_optionIE[i]->isChecked()) v.emulationIndex = i;
    return v;
}

void OptionsDialog::onOk() {
    LoadedDownloadWindow window;
    if (DownloadWindow* w = m_downloadWindow) {
        window.loaded = true;
        window.busy = w->state().BusyGuardHolds();
        window.showMethod = [w](DownloadMethod method) {
            w->ShowDownloadMethod();
            QComboBox* threads = w->threadCountList();
            if (method == DownloadMethod::Parallel) {
                threads->setEnabled(true);
                threads->setCurrentText(QStringLiteral("1"));
            } else {
                threads->setEnabled(false);
            }
        };
    }
    if (ApplyOptions(m_ctx, values(), window)) accept();
}

void ShowOptionsDialog(AppContext& ctx, DownloadWindow* downloadWindow, QWidget* owner) {
    OptionsDialog dialog(ctx, downloadWindow, owner);
    dialog.exec();
}

} // namespace peldora
