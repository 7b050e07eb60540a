#pragma once
#include "platform/Dialogs.h"

namespace peldora {

// The dialogs as Qt shows them, owned by the active window. The file pickers take filters in the
// program's "Description|pattern" form (common/FileFilter.h).
class QtDialogs : public Dialogs {
public:
    MessageAnswer messageBox(const QString& text, MessageIcon icon, MessageButtons buttons,
                             const QString& title) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    QString openFile(const QString& title, const QString& filter,
                     const QString& initialPath) override;
    QString saveFile(const QString& title, const QString& filter,
                     const QString& initialPath) override;
    std::optional<QString> browseFolder(const QString& title, const QString& startFolder,
                                        bool includeFiles) override;
};

} // namespace peldora
