#include "download/DownloadTransfers.h"

namespace peldora {

DownloadTransfers::DownloadTransfers(AppContext& ctx, DownloadList& list,
                                     DownloadWindowState& state, QObject* parent)
    : QObject(parent), m_single(ctx, list, state, this), m_parallel(ctx, list, state, this) {}

void DownloadTransfers::setOptions(const TransferOptions& options) {
    m_single.setOptions(options);
    m_parallel.setOptions(options);
}

} // namespace peldora
