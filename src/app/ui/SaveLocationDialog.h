#pragma once
#include "app/SaveLocation.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QWidget;

namespace peldora {

struct AppContext;

// fSeleFileSavePath: asks for the download folder and how files are named. Stays on top while
// open; deletes itself when closed.
class SaveLocationDialog : public QDialog {
    Q_OBJECT
public:
    explicit SaveLocationDialog(AppContext& ctx, QWidget* owner = nullptr);

    QComboBox* combo1() const { return m_combo1; }
    QRadioButton* option1() const { return m_option1; }
    QRadioButton* option2() const { return m_option2; }
    QPushButton* command1() const { return m_command1; }
    QPushButton* command2() const { return m_command2; }
    QPushButton* command3() const { return m_command3; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showForm();
    void readControls();
    void onBrowse();
    void onOk();
    void onCancel();

    SaveLocationForm m_form;
    QComboBox* m_combo1;
    QRadioButton* m_option1;
    QRadioButton* m_option2;
    QPushButton* m_command1;
    QPushButton* m_command2;
    QPushButton* m_command3;
};

// Shows the dialog modally over `owner` and returns when it has closed.
void ShowSaveLocationDialog(AppContext& ctx, QWidget* owner);

} // namespace peldora
