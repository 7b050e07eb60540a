#pragma once
#include <QString>

// The words the download methods write into a row and the status bar.
namespace peldora {

inline const QString kWaitAgainText = QStringLiteral("等待重新下载");
inline const QString kUnknownSizeText = QStringLiteral("未知");
inline const QString kLargeFileSkippedText = QStringLiteral("大文件，跳过");
inline const QString kCannotReplaceText = QStringLiteral("无法替换");
inline const QString kDownloadFailedText = QStringLiteral("下载失败");
inline const QString kDownloadCancelledText = QStringLiteral("下载取消");
inline const QString kDownloadingPrefix = QStringLiteral("正在下载:");
inline const QString kFinishedPrefix = QStringLiteral("完成下载:");
// A row that cannot be downloaded at all: no address, a folder that cannot be made, or a
// target that would not be a file inside its folder.
inline const QString kNoAddressText = QStringLiteral("无下载地址");
inline const QString kFolderFailedText = QStringLiteral("无法创建文件夹");
inline const QString kBadTargetText = QStringLiteral("保存路径无效");
// Messages of a downloader instance (not shown).
inline const QString kTimedOutMessage = QStringLiteral("超时");
inline const QString kCannotDownloadMessage = QStringLiteral("无法下载");

// Sound cues.
inline constexpr int kCueWebPage = 101;
inline constexpr int kCueFailed = 103;

// Options the download window holds in check boxes.
struct TransferOptions {
    bool soundCues = false; // "声音提示"
    bool autoLogin = false; // "自动登录"
};

} // namespace peldora
