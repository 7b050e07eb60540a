#pragma once
#include "download/ParallelDownloads.h"
#include "download/SingleTransfer.h"
#include "download/TransferMethods.h"

#include <QObject>

namespace peldora {

// The download window's two methods under one roof: the single-connection transfer and the six
// parallel downloaders, as the scheduler and the stop command reach them.
class DownloadTransfers : public QObject, public TransferMethods {
    Q_OBJECT
public:
    DownloadTransfers(AppContext& ctx, DownloadList& list, DownloadWindowState& state,
                      QObject* parent = nullptr);

    SingleTransfer& single() { return m_single; }
    ParallelDownloads& parallel() { return m_parallel; }
    // Sound cues and automatic login, as the window's check boxes say.
    void setOptions(const TransferOptions& options);

    bool singleExecuting() const override { return m_single.executing(); }
    void Inet下载当前文件(RowId row) override { m_single.Inet下载当前文件(row); }
    void cancelSingle() override { m_single.cancel(); }
    bool slotBusy(int slot) const override { return m_parallel.slotBusy(slot); }
    int instanceCount() const override { return m_parallel.instanceCount(); }
    void 多线程下载(int slot, RowId row, const QString& address, const QString& savePath) override {
        m_parallel.多线程下载(slot, row, address, savePath);
    }
    void unloadAll() override { m_parallel.unloadAll(); }
    bool isPathReserved(const QString& path) const override {
        return m_parallel.isPathReserved(path);
    }

private:
    SingleTransfer m_single;
    ParallelDownloads m_parallel;
};

} // namespace peldora
