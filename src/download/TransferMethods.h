#pragma once
#include "download/DownloadList.h"

#include <QString>

namespace peldora {

// The two ways a row is downloaded, as the scheduler and the stop command see them. Method 1
// is the single-connection transfer: one row at a time, run inside the call that starts it.
// Method 2 is the set of parallel downloaders on slots 1 to 6, each running in the background
// until its row has ended. Rows are named by their identity: a row can be removed or moved
// while a transfer runs, so an implementation looks its row up again at every update.
class TransferMethods {
public:
    virtual ~TransferMethods() = default;

    // Method 1.

    // Whether the single-connection transfer is executing a request.
    virtual bool singleExecuting() const = 0;
    // Downloads one row and returns only when its file has ended (completed, failed, skipped
    // or stopped). Pumps events while it waits, so anything may happen to the list meanwhile.
    // Refuses while a transfer is still executing or the run flag is set: the row goes back
    // to waiting with "等待重新下载".
    virtual void Inet下载当前文件(RowId row) = 0;
    // Cancels the running single transfer; harmless when none runs.
    virtual void cancelSingle() = 0;

    // Method 2.

    // Whether slot 1..6 has a downloader at work.
    virtual bool slotBusy(int slot) const = 0;
    // How many downloaders exist.
    virtual int instanceCount() const = 0;
    // Starts the download of a row on a free slot into savePath. Returns at once; the
    // downloader reports to the row until it ends.
    virtual void 多线程下载(int slot, RowId row, const QString& address,
                            const QString& savePath) = 0;
    // Ends every downloader at once; none reports to its row afterwards.
    virtual void unloadAll() = 0;
    // Whether a running downloader holds this target path. A transfer writes beside its
    // target and leaves nothing under the target's name until it is complete, so the naming
    // asks here as well as on disk to keep two rows of one name apart.
    virtual bool isPathReserved(const QString& path) const = 0;
};

} // namespace peldora
