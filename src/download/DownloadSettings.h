#pragma once
#include "download/SameNamePolicy.h"

namespace peldora {

struct AppContext;
class SettingsStore;

// The settings the download window reads when it loads: the download method (default 2), the
// proxy address, port and switch, and the maximum file size, into the program-wide state.
void LoadDownloadSettings(AppContext& ctx);

// The stored thread-count index ("下载"/"线程", default 2) when it selects one of the six
// entries, else -1.
int ReadThreadIndex(const SettingsStore& store);

// The stored same-name policy ("专利下载"/"重复文件名设置", default rename).
SameNamePolicy ReadSameNamePolicy(const SettingsStore& store);

// What the close saves before it asks anything: the policy's caption and the method.
void SaveDownloadChoices(AppContext& ctx, SameNamePolicy policy);

// The thread-count index, saved at the end of the close.
void SaveThreadIndex(SettingsStore& store, int index);

} // namespace peldora
