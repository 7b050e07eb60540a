#pragma once
#include <QString>
#include <QStringList>

namespace peldora {

struct AppContext;
class Dialogs;

// The folder history of the save-location dialog and the copy dialog: a text file with one
// folder per line (UTF-8, CR LF; LF read too).

// Replaces `list` with the first 100 non-empty lines of the file (trimmed of spaces, and of
// byte-order marks before the entry), dropping later duplicates that differ only in letter case.
// A missing, unreadable or garbled file (not UTF-8 text, or lines longer than 32 KiB) leaves
// `list` as it was.
void LoadComboFromFile(QStringList& list, const QString& path);
// Writes the list, one entry a line (CR LF); an empty list writes one empty line. A file that
// cannot be written is left as it was, silently.
void SaveComboToFile(const QStringList& list, const QString& path);

// "SaveList.dat" in the program's data folder.
QString SaveListPath(const AppContext& ctx);

// Where the folder picker starts for `initial`: the folder that contains it ("/a/b/c/" and
// "/a/b/c" both start at "/a/b/"), the fallback root for an empty or missing one.
QString BrowseStartFolder(const QString& initial);
// The folder picker: the chosen folder, or `initial` on cancel, in both cases ending with the
// separator.
QString BrowseForFolder(Dialogs& dialogs, const QString& initial, const QString& title,
                        bool includeFiles);

inline const QString kBrowseFolderTitle = QStringLiteral("请选择要浏览的文件夹:");
inline const QString kFolderSettingError = QStringLiteral("文件夹设置错误！");

// The state of the save-location dialog: what it shows and what OK and cancel do with it. The
// window mirrors its controls into this and back.
class SaveLocationForm {
public:
    explicit SaveLocationForm(AppContext& ctx) : m_ctx(ctx) {}

    QStringList history;     // Combo1's list
    QString folderText;      // Combo1's text
    bool originalName = false; // Option1 ticked

    // Load: naming option and folder from the program state, history from SaveList.dat; the
    // dialog counts as cancelled until OK succeeds.
    void load();
    // "...": the folder picker, starting beside the folder text.
    void browse();
    // "确定": takes over the naming option, then checks the folder (creating what is missing).
    // True when the folder is usable and the dialog may close: the folder is stored and
    // appended to the history file. Otherwise the error was shown, the folder text is what the
    // folder check left of it (empty) and the dialog stays open.
    bool accept();
    // "取消" and the title bar's close.
    void cancel();

private:
    AppContext& m_ctx;
};

} // namespace peldora
