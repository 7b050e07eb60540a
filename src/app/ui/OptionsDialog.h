#pragma once
#include "app/Options.h"

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace peldora {

struct AppContext;
class DownloadWindow;

// fOption "设置": download method, proxy, maximum file size, the folder prompt and the
// embedded browser's emulation level. "确定" stores everything and updates the download
// window when it is loaded; "关闭" leaves without storing.
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    // downloadWindow: the loaded download window, or null when it is not loaded.
    OptionsDialog(AppContext& ctx, DownloadWindow* downloadWindow, QWidget* parent = nullptr);

    // The controls as they stand.
    OptionValues values() const;

    QRadioButton* option(int method) const { return method == 2 ? m_option2 : m_option1; }
    QCheckBox* check1() const { return m_check1; }
    QCheckBox* check2() const { return m_check2; }
    QLineEdit* text1() const { return m_text1; }
    QLineEdit* text6() const { return m_text6; }
    QLineEdit* text8() const { return m_text8; }
    // OptionIE by its index: 0 "IE7" ... 4 "IE11", 10 "默认".
    QRadioButton* optionIE(int index) const;
    QPushButton* okButton() const { return m_command1; }
    QPushButton* closeButton() const { return m_command2; }

private:
    void load();
    void onOk();

    AppContext& m_ctx;
    QPointer<DownloadWindow> m_downloadWindow;
    QRadioButton* m_option1 = nullptr;
    QRadioButton* m_option2 = nullptr;
    QCheckBox* m_check1 = nullptr;
    QCheckBox* m_check2 = nullptr;
    QLineEdit* m_text1 = nullptr;
    QLineEdit* m_text6 = nullptr;
    QLineEdit* m_text8 = nullptr;
    QRadioButton* m_optionIE[11] = {};
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command2 = nullptr;
};

// Shows the dialog modally over `owner` and returns when it has closed.
void ShowOptionsDialog(AppContext& ctx, DownloadWindow* downloadWindow, QWidget* owner);

} // namespace peldora
