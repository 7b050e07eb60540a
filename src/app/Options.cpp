#include "app/Options.h"
#include "app/AppContext.h"
#include "app/SettingsStore.h"
#include "common/Text.h"
#include "download/DownloadWindowState.h"
#include "platform/Dialogs.h"
#include "tools/BrowserEmulation.h"

#include <cmath>

namespace peldora {

QString EmulationLabel(int index) {
    static const QString labels[5] = {QStringLiteral("IE7"), QStringLiteral("IE8"),
                                      QStringLiteral("IE9"), QStringLiteral("IE10"),
                                      QStringLiteral("IE11")};
    return index >= 0 && index < 5 ? labels[index] : QString();
}

OptionValues LoadOptions(const ProgramState& state) {
    OptionValues v;
    v.proxyEnabled = state.proxyEnabled == 1;
    v.proxyAddress = state.proxyAddress;
    v.proxyPort = state.proxyPort;
    if (state.downloadMethod == DownloadMethod::Parallel) v.method = 2;
    v.promptSaveFolder = state.promptSaveFolder == 1;
    v.maxFileSize = NumberText(state.maxFileSizeMB);
    for (int i = 0; i < 5; ++i)
        if (state.browserEmulation == EmulationLabel(i)) v.emulationIndex = i;
    return v;
}

bool ProxyLooksValid(const QString& address, const QString& port) {
    bool ok = false;
    const uint number = TrimSpaces(port).toUInt(&ok);
    return !TrimSpaces(address).isEmpty() && ok && number >= 1 && number <= 65535;
}

std::optional<double> MaxFileSizeNumber(const QString& text) {
    bool ok = false;
    const double value = TrimSpaces(text).toDouble(&ok);
    if (!ok || !std::isfinite(value) || value <= 0) return std::nullopt;
    return value;
}

bool ApplyOptions(AppContext& ctx, const OptionValues& values, const LoadedDownloadWindow& window) {
    ProgramState& state = ctx.state;
    SettingsStore& store = ctx.settings;
    const std::optional<double> maxSize = MaxFileSizeNumber(values.maxFileSize);
    if (!maxSize) {
        ctx.dialogs.messageBox(kMaxFileSizeRefused, MessageIcon::Critical);
        return false;
    }
    const DownloadMethod method = values.method == 2 ? DownloadMethod::Parallel : DownloadMethod::Single;
    if (window.loaded && window.busy && method != state.downloadMethod) {
        ctx.dialogs.messageBox(kRunFlagGuardMessage, MessageIcon::Critical);
        return false;
    }

    state.downloadMethod = method;
    if (window.loaded && window.showMethod) window.showMethod(method);
    store.WriteSetting(keys::kSettings, keys::kDownloadMethod, int(method));

    state.proxyEnabled = values.proxyEnabled ? 1 : 0;
    store.WriteSetting(keys::kSettings, keys::kProxyEnabled, state.proxyEnabled);
    state.proxyAddress = TrimSpaces(values.proxyAddress);
    store.WriteSetting(keys::kSettings, keys::kProxyAddress, state.proxyAddress);
    state.proxyPort = TrimSpaces(values.proxyPort);
    store.WriteSetting(keys::kSettings, keys::kProxyPort, state.proxyPort);
    if (state.proxyEnabled == 1 && !ProxyLooksValid(state.proxyAddress, state.proxyPort))
        ctx.dialogs.messageBox(kProxyFormatWarning, MessageIcon::Critical);

    state.promptSaveFolder = values.promptSaveFolder ? 1 : 0;
    store.WriteSetting(keys::kSettings, keys::kPromptFolder, state.promptSaveFolder);

    state.maxFileSizeMB = *maxSize;
    store.WriteSetting(keys::kSettings, keys::kMaxFileSize, NumberText(*maxSize));

    state.browserEmulation = EmulationLabel(values.emulationIndex);
    BrowserEmulation(ctx.registry, ctx.executableName)
        .write(state.browserEmulation, 1, state.osBitness.toInt());
    return true;
}

} // namespace peldora
