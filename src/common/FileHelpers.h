#pragma once
#include <QString>
#include <functional>
#include <utility>

// Small path procedures shared by the dialogs and the download code. They keep no state and
// work with the separator of common/PathSeparator.h.
namespace peldora {

// Makes a text safe as one file or folder name: drops \ / : * ? " < > |, line breaks, NULs
// and lone surrogates, leading and trailing dots, and cuts the rest to 200 bytes (without a
// dot at the end). A second pass changes nothing.
QString SanitizeFileName(const QString& text);

// Removes every CR LF pair, CR, LF and NUL.
QString RemoveLineBreaks(const QString& text);

// The last segment of an address or path ("/" and "\" both split), trimmed; with
// stripExtension the part from the last "." on is removed.
QString FileNameFromAddress(const QString& address, bool stripExtension);

// Splits the last segment of a path into name and extension. An extension of 7 or more
// characters does not count as one. Returns {extension, name}.
std::pair<QString, QString> SplitNameAndExtension(const QString& path);

// Whether a text names one file inside a folder: not empty, not "." or "..", and no separator
// or NUL that would take a path out of the folder.
bool NamesFileInFolder(const QString& file);

// A path as the file tests read it: without a "file:///" prefix, "/" as the separator. It is
// not trimmed: a path the program built names exactly one file.
QString LocalFilePath(const QString& path);
bool FileExists(const QString& path);
bool FolderExists(const QString& path);

// Called with the message when a piece of the path is not a usable folder name.
using FolderNameError = std::function<void(const QString& message)>;

// Creates every missing folder along the path and returns the path that exists afterwards
// (without a trailing separator, with cleaned piece names), or the empty text.
QString CreateFolderPath(const QString& path, const FolderNameError& reportError);

// The path itself when no file has that name, else the first free "name[0001].ext" variant.
QString UniqueNumberedPath(const QString& path);

inline const QString kBadFolderNameMessage = QStringLiteral("文件夹名称有误！不能创建文件夹！");

} // namespace peldora
