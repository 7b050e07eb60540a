#include "tools/ui/CopyMoveDialog.h"
#include "common/ui/Controls.h"
#include "common/ui/WindowHelpers.h"
#include "platform/qt/Resources.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace peldora {

CopyMoveDialog::CopyMoveDialog(AppContext& ctx, const QList<CopySource>& sources, bool moveMode,
                               QWidget* owner)
    : QDialog(owner), m_form(ctx) {
    setObjectName(QStringLiteral("Form_Copy_Move"));
    setWindowIcon(ProgramIcon());
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    m_form.sources = sources;
    m_form.moveMode = moveMode;

    auto* label1 = MakeControl<QLabel>(this, QStringLiteral("Label1"), QStringLiteral("目的文件夹："));
    m_combo1 = MakeControl<QComboBox>(this, QStringLiteral("Combo1"));
    m_combo1->setEditable(true);
    m_combo1->setInsertPolicy(QComboBox::NoInsert);
    m_combo1->setMinimumWidth(380);
    m_command3 = MakeControl<QPushButton>(this, QStringLiteral("Command3"), QStringLiteral("浏览"));
    auto* frame = MakeControl<QGroupBox>(this, QStringLiteral("Frame1"),
                                         QStringLiteral("如果同名文件已经存在"));
    const QString captions[5] = {
        QStringLiteral("跳过"),
        QStringLiteral("覆盖"),
        QStringLiteral("自动重命名"),
        QStringLiteral("文件大小和修改时间均相同：覆盖；否则：自动重命名"),
        QStringLiteral("文件大小相同：覆盖；否则：自动重命名"),
    };
    auto* options = new QVBoxLayout(frame);
    for (int i = 0; i < 5; ++i) {
        m_options[i] = MakeControl<QRadioButton>(frame, QStringLiteral("Option1(%1)").arg(i + 1),
                                                 captions[i]);
        options->addWidget(m_options[i]);
        connect(m_options[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) m_form.opIndex = i + 1;
        });
    }
    auto* label2 = MakeControl<QLabel>(this, QStringLiteral("Label2"), QStringLiteral("当前文件："));
    m_current = MakeControl<QLabel>(this, QStringLiteral("Label3"));
    auto* label4 = MakeControl<QLabel>(this, QStringLiteral("Label4"), QStringLiteral("进度;"));
    m_progress = MakeControl<QProgressBar>(this, QStringLiteral("ProgressBar1"));
    m_progress->setTextVisible(false);
    m_command1 = MakeControl<QPushButton>(this, QStringLiteral("Command1"), QStringLiteral("开始"));
    m_command2 = MakeControl<QPushButton>(this, QStringLiteral("Command2"), QStringLiteral("关闭"));
    m_command3->setAutoDefault(false);
    m_command2->setAutoDefault(false);

    auto* grid = new QGridLayout;
    grid->addWidget(label1, 0, 0);
    grid->addWidget(m_combo1, 0, 1);
    grid->addWidget(m_command3, 0, 2);
    grid->addWidget(frame, 1, 0, 1, 3);
    grid->addWidget(label2, 2, 0);
    grid->addWidget(m_current, 2, 1, 1, 2);
    grid->addWidget(label4, 3, 0);
    grid->addWidget(m_progress, 3, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_command1);
    buttons->addWidget(m_command2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(m_command3, &QPushButton::clicked, this, [this] {
        readControls();
        m_form.browse();
    });
    connect(m_command1, &QPushButton::clicked, this, [this] {
        readControls();
        m_form.执行(true);
    });
    connect(m_command2, &QPushButton::clicked, this, &QDialog::close);
    connect(&m_form, &CopyMoveForm::changed, this, &CopyMoveDialog::showForm);
    connect(&m_form, &CopyMoveForm::passEnded, this, [this] {
        // A close asked for during the pass happens once the pass has let go of the form.
        if (m_closeAfterPass) QTimer::singleShot(0, this, &QDialog::close);
    });

    setWindowTitle(m_form.caption());
    m_form.load();
    m_combo1->clear();
    m_combo1->addItems(m_form.history);
    FitComboDropWidth(m_combo1);
    showForm();
}

QRadioButton* CopyMoveDialog::option1(int index) const {
    return index >= 1 && index <= 5 ? m_options[index - 1] : nullptr;
}

void CopyMoveDialog::showForm() {
    if (m_combo1->count() != m_form.history.size()) {
        m_combo1->clear();
        m_combo1->addItems(m_form.history);
        FitComboDropWidth(m_combo1);
    }
    m_combo1->setEditText(m_form.folderText);
    if (QRadioButton* option = option1(m_form.opIndex)) option->setChecked(true);
    m_command1->setText(m_form.command1Caption());
    m_progress->setMaximum(m_form.progressMaximum);
    m_progress->setValue(m_form.progressValue);
    m_current->setText(m_form.currentFile);
}

void CopyMoveDialog::readControls() {
    if (!m_form.running()) m_form.folderText = m_combo1->currentText();
}

void CopyMoveDialog::closeEvent(QCloseEvent* event) {
    if (m_form.running()) {
        m_form.requestStop();
        m_closeAfterPass = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event); // through reject()
}

void CopyMoveDialog::reject() {
    // Escape, the title bar and "关闭" alike: a running pass is stopped first.
    if (m_form.running()) {
        m_form.requestStop();
        m_closeAfterPass = true;
        return;
    }
    m_form.sources.clear();
    QDialog::reject();
}

} // namespace peldora
