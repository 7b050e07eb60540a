#include "about/VersionCheck.h"
#include "Version.h"
#include "about/XmlHttp.h"
#include "app/AppContext.h"
#include "app/SettingsStore.h"
#include "common/ShellHelpers.h"
#include "common/Text.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"

#include <QDate>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

namespace peldora {

namespace {
// An answer longer than this is not a version number (an error page, for instance).
constexpr int kMaxAnswerLength = 20;
// Enough to tell any answer too long; a longer one is not fetched beyond this.
constexpr qint64 kMaxAnswerBytes = 4096;
// A part this long would overflow the key; no version has one.
constexpr int kMaxPartDigits = 11;

const QString kMakerMail = QStringLiteral("support@peldora.org");
} // namespace

qint64 VersionKey(qint64 major, qint64 minor, qint64 revision) {
    return major * 10000000 + minor * 10000 + revision;
}

qint64 ProgramVersionKey() { return VersionKey(kVersionMajor, kVersionMinor, kVersionPatch); }

QString UpdateAnswerText(const QString& answer) {
    // The update file is one line: its line end is not part of the number.
    QString text = TrimSpaces(answer);
    while (text.endsWith(u'\n') || text.endsWith(u'\r')) text.chop(1);
    return TrimSpaces(text);
}

std::optional<qint64> UpdateAnswerKey(const QString& answer) {
    const QString text = UpdateAnswerText(answer);
    if (text.isEmpty() || text.size() > kMaxAnswerLength) return std::nullopt;
    const QStringList parts = text.split(u'.');
    if (parts.size() != 3) return std::nullopt;
    qint64 n[3];
    for (int i = 0; i < 3; ++i) {
        const QString& p = parts.at(i);
        if (p.isEmpty() || p.size() > kMaxPartDigits) return std::nullopt;
        for (QChar c : p)
            if (c < u'0' || c > u'9') return std::nullopt;
        n[i] = p.toLongLong();
    }
    return VersionKey(n[0], n[1], n[2]);
}

QString UpdateBaseAddress(const AppContext& ctx) {
    QString base = TrimSpaces(ctx.settings.ReadSetting(keys::kSettings, keys::kUpdateAddress, QString()));
    while (base.endsWith(u'/')) base.chop(1);
    return base;
}

QString UpdateFileAddress(const AppContext& ctx) {
    return UpdateBaseAddress(ctx) + u'/' + ctx.executableName + QStringLiteral("/newver.txt");
}

QString ProgramPageAddress(const AppContext& ctx, bool finalSlash) {
    const QString page = UpdateBaseAddress(ctx) + u'/' + ctx.executableName;
    return finalSlash ? page + u'/' : page;
}

VersionCheck::VersionCheck(AppContext& ctx, QObject* parent)
    : QObject(parent), m_ctx(ctx), m_http(new uXMLHTTP(this)) {
    m_http->setObjectName(QStringLiteral("uXMLHTTP2"));
    m_http->setMaximumBodySize(kMaxAnswerBytes);
    connect(m_http, &uXMLHTTP::OnDateArrived, this, &VersionCheck::onArrived);
    connect(m_http, &uXMLHTTP::OnDateErr, this, [this](const QString&) {
        m_ctx.dialogs.messageBox(kKeepNetworkMessage, MessageIcon::Critical);
    });
}

void VersionCheck::start() {
    if (UpdateBaseAddress(m_ctx).isEmpty()) return;
    if (!m_http->Open_(QStringLiteral("GET"), UpdateFileAddress(m_ctx))) return;
    m_http->Send_();
}

void VersionCheck::onArrived() {
    const QString text = UpdateAnswerText(m_http->ResponseText());
    const std::optional<qint64> key = UpdateAnswerKey(text);
    if (!key || *key <= ProgramVersionKey()) return;
    m_ctx.state.latestVersion = text;
    emit newerVersion(NewerVersionCaption(text));
    OpenInSystemBrowser(m_ctx.shell, ProgramPageAddress(m_ctx, true), false);
    m_ctx.dialogs.messageBox(kNewVersionMessage, MessageIcon::Information);
}

QString NewerVersionCaption(const QString& version) {
    return QStringLiteral("有最新版本：V") + version + QStringLiteral("可以下载升级。");
}

QString AboutCaption() { return QStringLiteral("关于『Peldora』 "); }

QString AboutVersionText() {
    return QStringLiteral("版本 %1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionPatch);
}

QString AboutLatestText(const QString& latestVersion) {
    return latestVersion.isEmpty() ? QStringLiteral("[已经是最新版本]")
                                   : QStringLiteral("[有最新版本可以升级：") + latestVersion +
                                         QStringLiteral("]");
}

QString MakerMailAddress() { return kMakerMail; }

QString SuggestionMailAddress(const QString& date) {
    const QString title = QStringLiteral("Peldora");
    const QString subject = QStringLiteral("我要对[") + title + QStringLiteral("]提建议");
    const QString body = QStringLiteral("软件名称：") + title +
                         QStringLiteral(" 姓名：          ") + QStringLiteral(" Email：           ") +
                         QStringLiteral(" 联系地址：           ") +
                         QStringLiteral(" 邮编：              ") +
                         QStringLiteral(" 电话：                    ") + QStringLiteral(" 日期：") +
                         date;
    return kMakerMail + QStringLiteral("?subject=") +
           QString::fromLatin1(QUrl::toPercentEncoding(subject)) + QStringLiteral("&body=") +
           QString::fromLatin1(QUrl::toPercentEncoding(body));
}

void ComposeSuggestionMail(Shell& shell) {
    const QString date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    shell.openMail(SuggestionMailAddress(date));
}

void StartSysInfo(Dialogs& dialogs, const std::function<QString()>& find,
                  const std::function<bool(const QString&)>& start) {
    const QString program = find ? find() : QString();
    if (!program.isEmpty() && start && start(program)) return;
    dialogs.messageBox(kSysInfoUnavailable, MessageIcon::None, MessageButtons::Ok);
}

QString FindSystemInfoProgram() {
    for (const char* name : {"hardinfo2", "hardinfo", "kinfocenter", "gnome-system-monitor"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty()) return path;
    }
    return {};
}

bool StartProgram(const QString& path) { return QProcess::startDetached(path, {}); }

} // namespace peldora
