#pragma once
#include "app/ProgramState.h"

#include <QString>
#include <functional>
#include <optional>

namespace peldora {

struct AppContext;

inline const QString kProxyFormatWarning = QStringLiteral("代理服务器网址或者端口格式不对！");
inline const QString kMaxFileSizeRefused =
    QStringLiteral("文件大小必须是大于0的数字（单位：MB）！");

// The browser emulation choices of the options dialog by index: 0 "IE7" ... 4 "IE11";
// kDefaultEmulationIndex is "默认".
constexpr int kDefaultEmulationIndex = 10;
QString EmulationLabel(int index);

// What the options dialog shows and the user changes.
struct OptionValues {
    // The ticked method option: 1 or 2. A method not yet loaded shows as 1, the design state.
    int method = 1;
    bool proxyEnabled = false;
    QString proxyAddress;
    QString proxyPort;
    bool promptSaveFolder = true;
    QString maxFileSize = QStringLiteral("10");
    int emulationIndex = kDefaultEmulationIndex;
};

// The dialog's load: the program-wide variables as the controls show them.
OptionValues LoadOptions(const ProgramState& state);

// The proxy the user typed is usable: an address and a port from 1 to 65535.
bool ProxyLooksValid(const QString& address, const QString& port);
// The maximum file size as a positive, finite number of megabytes; nullopt otherwise.
std::optional<double> MaxFileSizeNumber(const QString& text);

// How OK reaches the download window when it is loaded.
struct LoadedDownloadWindow {
    // Whether the window is loaded at all.
    bool loaded = false;
    // Whether it is downloading (its busy guard holds): the method cannot change then.
    bool busy = false;
    // Shows the new method in the window (Label7, the thread-count list).
    std::function<void(DownloadMethod)> showMethod;
};

// The dialog's OK, in order: method (the loaded download window follows at once), proxy switch,
// address and port (a bad address or port is warned about and stored as typed, trimmed), the
// folder prompt, the maximum size, the browser emulation level. Refused before anything is
// stored, with a message, when the maximum size is not a positive number, or when the method
// would change while the download window is downloading. True when the dialog may close.
bool ApplyOptions(AppContext& ctx, const OptionValues& values, const LoadedDownloadWindow& window);

} // namespace peldora
