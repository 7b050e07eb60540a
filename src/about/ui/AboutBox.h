#pragma once
#include <QDialog>
#include <functional>

class QFrame;
class QLabel;
class QPushButton;

namespace peldora {

struct AppContext;

// frmAbout: the program's title and version, whether a newer version is known, the maker's
// links (underlined in red while the mouse is over one) and the system-information button.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(AppContext& ctx, QWidget* owner = nullptr);

    QLabel* label(const QString& name) const;
    QFrame* line2() const { return m_line2; }
    QPushButton* cmdOK() const { return m_ok; }
    QPushButton* cmdSysInfo() const { return m_sysInfo; }

    // Where the system-information program is looked for and how it starts; tests replace them.
    std::function<QString()> findSysInfo;
    std::function<bool(const QString&)> startSysInfo;

    // 模拟网址下划线: the red line under `link`.
    void 模拟网址下划线(QLabel* link);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void linkClicked(QLabel* link);

    AppContext& m_ctx;
    QLabel* m_label10;
    QLabel* m_label2;
    QLabel* m_label7;
    QLabel* m_label4;
    QFrame* m_line2;
    QPushButton* m_ok;
    QPushButton* m_sysInfo;
};

// Shows the about box modally over `owner`; `closed` runs once it has closed.
void ShowAboutBox(AppContext& ctx, QWidget* owner, const std::function<void()>& closed);

} // namespace peldora
