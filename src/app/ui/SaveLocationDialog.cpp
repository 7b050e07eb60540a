#include "app/ui/SaveLocationDialog.h"
#include "common/DefaultFolders.h"
#include "common/Maker.h"
#include "common/ui/WindowHelpers.h"
#include "platform/qt/Resources.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

namespace peldora {

namespace {
template <typename W> W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}
} // namespace

SaveLocationDialog::SaveLocationDialog(AppContext& ctx, QWidget* owner)
    : QDialog(owner), m_form(ctx) {
    setObjectName(QStringLiteral("fSeleFileSavePath"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("选择下载保存路径－") + kMakerName);
    setWindowIcon(ProgramIcon());
    setWindowFlags((windowFlags() | Qt::WindowStaysOnTopHint) & ~Qt::WindowContextHelpButtonHint);

    auto* label1 = Named(new QLabel(QStringLiteral("保存到文件夹："), this), "Label1");
    m_combo1 = Named(new QComboBox(this), "Combo1");
    m_combo1->setEditable(true);
    // The list is the history; typing a folder must not add to it before OK.
    m_combo1->setInsertPolicy(QComboBox::NoInsert);
    m_combo1->setEditText(FallbackRootFolder());
    m_combo1->setMinimumWidth(360);
    m_command1 = Named(new QPushButton(QStringLiteral("..."), this), "Command1");
    m_command1->setAutoDefault(false);
    auto* label3 = Named(new QLabel(QStringLiteral("保存文件名为："), this), "Label3");
    m_option1 = Named(new QRadioButton(QStringLiteral("原文件名"), this), "Option1");
    m_option2 = Named(new QRadioButton(QStringLiteral("文章标题名称"), this), "Option2");
    m_option2->setChecked(true);
    m_command2 = Named(new QPushButton(QStringLiteral("确定"), this), "Command2");
    m_command3 = Named(new QPushButton(QStringLiteral("取消"), this), "Command3");
    m_command3->setAutoDefault(false);

    auto* grid = new QGridLayout;
    grid->addWidget(label1, 0, 0);
    grid->addWidget(m_combo1, 0, 1);
    grid->addWidget(m_command1, 0, 2);
    auto* options = new QHBoxLayout;
    options->addWidget(m_option1);
    options->addWidget(m_option2);
    options->addStretch();
    grid->addWidget(label3, 1, 0);
    grid->addLayout(options, 1, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_command2);
    buttons->addWidget(m_command3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(m_command1, &QPushButton::clicked, this, &SaveLocationDialog::onBrowse);
    connect(m_command2, &QPushButton::clicked, this, &SaveLocationDialog::onOk);
    connect(m_command3, &QPushButton::clicked, this, &SaveLocationDialog::onCancel);

    m_form.load();
    showForm();
}

void SaveLocationDialog::showForm() {
    if (m_form.originalName)
        m_option1->setChecked(true);
    else
        m_option2->setChecked(true);
    m_combo1->clear();
    m_combo1->addItems(m_form.history);
    FitComboDropWidth(m_combo1);
    m_combo1->setEditText(m_form.folderText);
}

void SaveLocationDialog::readControls() {
    m_form.folderText = m_combo1->currentText();
    m_form.originalName = m_option1->isChecked();
}

void SaveLocationDialog::onBrowse() {
    readControls();
    m_form.browse();
    m_combo1->setEditText(m_form.folderText);
}

void SaveLocationDialog::onOk() {
    readControls();
    const bool done = m_form.accept();
    if (!done) {
        m_combo1->setEditText(m_form.folderText);
        return;
    }
    accept();
}

void SaveLocationDialog::onCancel() {
    m_form.cancel();
    reject();
}

void SaveLocationDialog::closeEvent(QCloseEvent* event) {
    // The title bar's close is a cancel: the state still says cancelled from the load.
    m_form.cancel();
    QDialog::closeEvent(event);
}

void ShowSaveLocationDialog(AppContext& ctx, QWidget* owner) {
    QPointer<SaveLocationDialog> dialog = new SaveLocationDialog(ctx, owner);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->exec();
    // Deleted on close; one still open here (exec ended by other means) goes too.
    if (dialog) dialog->deleteLater();
}

} // namespace peldora
