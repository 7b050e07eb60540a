#include "download/DownloadSettings.h"
#include "app/AppContext.h"
#include "app/SettingsStore.h"

namespace peldora {

void LoadDownloadSettings(AppContext& ctx) {
    const SettingsStore& s = ctx.settings;
    ProgramState& state = ctx.state;
    state.downloadMethod = s.ReadSetting(keys::kSettings, keys::kDownloadMethod, 2) == "1"
                               ? DownloadMethod::Single
                               : DownloadMethod::Parallel;
    state.proxyAddress = s.ReadSetting(keys::kSettings, keys::kProxyAddress, QString());
    state.proxyPort = s.ReadSetting(keys::kSettings, keys::kProxyPort, QString());
    bool ok = false;
    const int enabled = s.ReadSetting(keys::kSettings, keys::kProxyEnabled, "0").toInt(&ok);
    state.proxyEnabled = ok ? enabled : 0;
    // A value that is not a number leaves the size the program already had.
    const double maxSize = s.ReadSetting(keys::kSettings, keys::kMaxFileSize, 10).toDouble(&ok);
    if (ok) state.maxFileSizeMB = maxSize;
}

int ReadThreadIndex(const SettingsStore& store) {
    bool ok = false;
    const int index = store.ReadSetting(keys::kDownload, keys::kThreads, 2).toInt(&ok);
    return ok && index >= 0 && index < 6 ? index : -1;
}

SameNamePolicy ReadSameNamePolicy(const SettingsStore& store) {
    return SameNamePolicyFromText(store.ReadSetting(keys::kPatentDownload, keys::kSameNamePolicy,
                                                    SameNamePolicyCaption(SameNamePolicy::Rename)));
}

void SaveDownloadChoices(AppContext& ctx, SameNamePolicy policy) {
    ctx.settings.WriteSetting(keys::kPatentDownload, keys::kSameNamePolicy,
                              SameNamePolicyCaption(policy));
    ctx.settings.WriteSetting(keys::kSettings, keys::kDownloadMethod,
                              QString::number(int(ctx.state.downloadMethod)));
}

void SaveThreadIndex(SettingsStore& store, int index) {
    store.WriteSetting(keys::kDownload, keys::kThreads, QString::number(index));
}

} // namespace peldora
