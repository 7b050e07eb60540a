#include "download/ui/UrlReplaceDialog.h"
#include "common/ui/Controls.h"
#include "download/DownloadListCommands.h"
#include "platform/qt/Resources.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace peldora {

UrlReplaceDialog::UrlReplaceDialog(DownloadList& list, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_list(list), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("UrlReplace"));
    setWindowTitle(QStringLiteral("网址批量替换"));
    setWindowIcon(ProgramIcon());
    setModal(true);

    m_text1 = MakeControl<QLineEdit>(this, QStringLiteral("Text1"));
    m_text2 = MakeControl<QLineEdit>(this, QStringLiteral("Text2"));
    m_replace = MakeControl<QPushButton>(this, QStringLiteral("Command1"), QStringLiteral("替换"));
    m_cancel = MakeControl<QPushButton>(this, QStringLiteral("Command2"), QStringLiteral("取消"));
    m_replace->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("所有网址中的字符串："), this), 0, 0);
    grid->addWidget(m_text1, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("将被全部替换为字符串："), this), 1, 0);
    grid->addWidget(m_text2, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_replace);
    buttons->addWidget(m_cancel);
    grid->addLayout(buttons, 2, 0, 1, 2);
    m_text1->setMinimumWidth(320);

    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_replace, &QPushButton::clicked, this, [this] {
        if (批量替换网址(m_list, m_text1->text(), m_text2->text(), m_dialogs)) accept();
    });
}

} // namespace peldora
