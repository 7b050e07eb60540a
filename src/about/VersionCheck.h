#pragma once
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

namespace peldora {

struct AppContext;
class Dialogs;
class Shell;
class uXMLHTTP;

// A version a.b.c compares through its key a × 10,000,000 + b × 10,000 + c.
qint64 VersionKey(qint64 major, qint64 minor, qint64 revision);
qint64 ProgramVersionKey();
// An update answer without the spaces around it and the line end after it.
QString UpdateAnswerText(const QString& answer);
// The key of an update answer: trimmed as above, at most 20 characters, exactly three parts of
// decimal digits separated by dots. Nothing for any other answer.
std::optional<qint64> UpdateAnswerKey(const QString& answer);

// The update server's base address, from the settings; empty (the default) turns the check off.
QString UpdateBaseAddress(const AppContext& ctx);
// base + "/" + executable name + "/newver.txt", and the program's page (with the final "/"
// where the check opens it, without where the about box's link does).
QString UpdateFileAddress(const AppContext& ctx);
QString ProgramPageAddress(const AppContext& ctx, bool finalSlash);

// The version check of the cover window, over its uXMLHTTP2.
class VersionCheck : public QObject {
    Q_OBJECT
public:
    explicit VersionCheck(AppContext& ctx, QObject* parent = nullptr);
    uXMLHTTP& uXMLHTTP2() { return *m_http; }

    // Sends the update request; nothing when no update address is set.
    void start();

signals:
    // A newer version was found: the cover's Label3 shows this text.
    void newerVersion(const QString& label3Text);

private:
    void onArrived();

    AppContext& m_ctx;
    uXMLHTTP* m_http;
};

// The caption of the cover's Label3 for a newer version.
QString NewerVersionCaption(const QString& version);

// The about box's texts.
QString AboutCaption();
QString AboutVersionText();
QString AboutLatestText(const QString& latestVersion); // Label10

// The maker's mail address and the pre-filled suggestion mail ("mailto:" address with subject
// and body).
QString MakerMailAddress();
QString SuggestionMailAddress(const QString& date);
// ComposeSuggestionMail: hands the mail to the desktop's mail program; a failure is ignored.
void ComposeSuggestionMail(Shell& shell);

// StartSysInfo: starts a system-information program when one is installed, otherwise tells
// "此时系统信息不可用". `find` gives the program's path or the empty text; `start` starts it.
void StartSysInfo(Dialogs& dialogs, const std::function<QString()>& find,
                  const std::function<bool(const QString&)>& start);
// The first system-information program found on the search path.
QString FindSystemInfoProgram();
bool StartProgram(const QString& path);

inline const QString kNewVersionMessage = QStringLiteral("有新版本发布，请下载安装升级！");
inline const QString kKeepNetworkMessage = QStringLiteral("请保持网络畅通！");
inline const QString kSysInfoUnavailable = QStringLiteral("此时系统信息不可用");

namespace keys {
inline const QString kUpdateAddress = QStringLiteral("更新网址");
}

} // namespace peldora
