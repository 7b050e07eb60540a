#pragma once
#include <QString>

// Pure text helpers for what a web server sends and for the names files are saved under.
namespace peldora {

// The value of the Content-Disposition header in a raw header block (status line, then one header
// per CR LF line), or the empty text. The first matching line wins.
QString 从网络文件Header获取ContentDisposition(const QString& rawHeaders);

// The extension (ASCII letters only, at most five, case as sent) of the file name that a
// Content-Disposition value announces with "filename=", or the empty text.
QString 从下载头信息ContentDisposition获取文件名(const QString& contentDisposition);

// Removes CR LF pairs, NUL, LF, CR and TAB characters, then trims spaces.
QString CleanHeaderText(const QString& text);

// Cuts text so that its encoding in the system's narrow code page (UTF-8 here) takes at most
// maxBytes bytes. A character that the cut would split is dropped whole; nothing before the cut
// is changed.
QString LeftBytesAnsi(const QString& text, int maxBytes);

// Scheme and host (with any port) of an address, without a trailing "/"; an address without a
// path comes back unchanged.
QString GetUrlRoot(const QString& address);

} // namespace peldora
