#pragma once
#include <QString>
#include <QVariant>
#include <memory>

class QSettings;

namespace peldora {

// The per-user settings: text values addressed by (application "Peldora", section, key), kept in
// an INI file. Every write reaches the file at once. A missing, empty or unreadable file reads as
// all defaults.
class SettingsStore {
public:
    explicit SettingsStore(const QString& iniPath);
    ~SettingsStore();

    QString ReadSetting(const QString& section, const QString& key,
                        const QVariant& defaultValue) const;
    void WriteSetting(const QString& section, const QString& key, const QVariant& value);

    static inline const QString kApplication = QStringLiteral("Peldora");
    // The file under the per-user configuration folder.
    static QString DefaultPath();

private:
    std::unique_ptr<QSettings> m_settings;
};

// Text form of a number as the store keeps it: whole numbers plain, fractions as the shortest
// decimal ("10", "12.5").
QString NumberText(double value);

// Section and key names used in more than one place.
namespace keys {
inline const QString kSettings = QStringLiteral("设置");
inline const QString kMaxFileSize = QStringLiteral("文件最大值");
inline const QString kSaveFolder = QStringLiteral("下载文件保存路径");
inline const QString kPromptFolder = QStringLiteral("提取网页信息时提示下载保存路径");
inline const QString kDownloadMethod = QStringLiteral("下载方式");
inline const QString kProxyEnabled = QStringLiteral("代理服务器有效");
inline const QString kProxyAddress = QStringLiteral("代理服务器网址");
inline const QString kProxyPort = QStringLiteral("代理服务器端口");
inline const QString kDownload = QStringLiteral("下载");
inline const QString kThreads = QStringLiteral("线程");
inline const QString kPatentDownload = QStringLiteral("专利下载");
inline const QString kSameNamePolicy = QStringLiteral("重复文件名设置");
inline const QString kSearchWindow = QStringLiteral("fWebSearch");
inline const QString kDelayIndex = QStringLiteral("combo2");
inline const QString kLastPage = QStringLiteral("Web1Url");
inline const QString kOtherUrl = QStringLiteral("otherUrl");
inline const QString kResolution = QStringLiteral("分辨率");
inline const QString kTop = QStringLiteral("上");
inline const QString kLeft = QStringLiteral("左");
inline const QString kWidth = QStringLiteral("宽");
inline const QString kHeight = QStringLiteral("高");
inline const QString kCopyMove = QStringLiteral("Form_Copy_Move");
inline const QString kTargetFolder = QStringLiteral("目的文件夹");
inline const QString kOpIndex = QStringLiteral("OpIndex");
} // namespace keys

} // namespace peldora
