#pragma once
#include <QString>

namespace peldora {

// Hands files, folders and addresses to the desktop.
class Shell {
public:
    virtual ~Shell() = default;
    virtual bool openFile(const QString& path) = 0;
    virtual bool openFolder(const QString& path) = 0;
    // Opens the folder that holds the file with the file selected where the desktop can.
    virtual bool showFileInFolder(const QString& path) = 0;
    virtual bool openAddress(const QString& address) = 0;
    virtual bool openMail(const QString& address) = 0;
    virtual bool openInTextEditor(const QString& path) = 0;
};

} // namespace peldora
