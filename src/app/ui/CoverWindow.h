#pragma once
#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;
class QTimer;

namespace peldora {

struct AppContext;

// fCover: the home window. Its load prepares the program-wide state; its close ends the program.
class CoverWindow : public QWidget {
    Q_OBJECT
public:
    explicit CoverWindow(AppContext& ctx, QWidget* parent = nullptr);

    // The load sequence: caption and version, shown and painted, then the slower state.
    void load();

    // Started by Timer1's first tick.
    std::function<void()> startVersionCheck;

    QLabel* label(int n) const;
    QPushButton* command1() const { return m_command1; }
    QPushButton* command3() const { return m_command3; }
    QTimer* timer1() const { return m_timer1; }

signals:
    // Command1 "资料检索下载" was pressed.
    void searchRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AppContext& m_ctx;
    QLabel* m_labels[6] = {};
    QPushButton* m_command1;
    QPushButton* m_command3;
    QTimer* m_timer1;
};

} // namespace peldora
