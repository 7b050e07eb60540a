#pragma once
#include "tools/CopyFiles.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace peldora {

struct AppContext;

// Form_Copy_Move: copies a list of files into one folder with a rule for names already there.
// Closing while a pass runs stops the pass; the dialog closes when the pass has ended.
class CopyMoveDialog : public QDialog {
    Q_OBJECT
public:
    // The sources and the move mode are those the dialog loads with.
    CopyMoveDialog(AppContext& ctx, const QList<CopySource>& sources, bool moveMode,
                   QWidget* owner = nullptr);

    CopyMoveForm& form() { return m_form; }
    QComboBox* combo1() const { return m_combo1; }
    QRadioButton* option1(int index) const; // 1..5
    QPushButton* command1() const { return m_command1; }
    QPushButton* command2() const { return m_command2; }
    QPushButton* command3() const { return m_command3; }
    QProgressBar* progressBar1() const { return m_progress; }
    QLabel* currentFileLabel() const { return m_current; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void showForm();
    void readControls();

    CopyMoveForm m_form;
    QComboBox* m_combo1;
    QRadioButton* m_options[5];
    QPushButton* m_command1;
    QPushButton* m_command2;
    QPushButton* m_command3;
    QProgressBar* m_progress;
    QLabel* m_current;
    bool m_closeAfterPass = false;
};

} // namespace peldora
