#pragma once
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace peldora {

class Dialogs;
class DownloadList;

// UrlReplace "网址批量替换": the text to find in every row's addresses and tag (Text1) and
// what replaces it (Text2). "替换" replaces and closes; "取消" closes.
class UrlReplaceDialog : public QDialog {
    Q_OBJECT
public:
    UrlReplaceDialog(DownloadList& list, Dialogs& dialogs, QWidget* parent = nullptr);

    QLineEdit* findText() const { return m_text1; }
    QLineEdit* replacementText() const { return m_text2; }
    QPushButton* replaceButton() const { return m_replace; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    DownloadList& m_list;
    Dialogs& m_dialogs;
    QLineEdit* m_text1 = nullptr;
    QLineEdit* m_text2 = nullptr;
    QPushButton* m_replace = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace peldora
