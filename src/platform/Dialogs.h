#pragma once
#include <QString>
#include <QStringList>
#include <optional>

namespace peldora {

enum class MessageIcon { None, Information, Critical, Question, Exclamation };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// Every message box, input box and file or folder picker of the program goes through here, so
// tests can script the answers and check the exact text that was shown.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // An empty title means the program's title.
    virtual MessageAnswer messageBox(const QString& text, MessageIcon icon,
                                     MessageButtons buttons = MessageButtons::Ok,
                                     const QString& title = {}) = 0;
    // nullopt when the user cancels.
    virtual std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                            const QString& defaultText) = 0;
    // The chosen path, or the empty text on cancel.
    virtual QString openFile(const QString& title, const QString& filter,
                             const QString& initialPath) = 0;
    virtual QString saveFile(const QString& title, const QString& filter,
                             const QString& initialPath) = 0;
    // The folder (or file, with includeFiles) chosen, starting at startFolder; nullopt on cancel.
    virtual std::optional<QString> browseFolder(const QString& title, const QString& startFolder,
                                                bool includeFiles) = 0;
};

} // namespace peldora
