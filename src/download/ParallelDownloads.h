#pragma once
#include "download/DownloadList.h"
#include "download/TransferTexts.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <array>

namespace peldora {

struct AppContext;
class Downloader;
class DownloadNetwork;
class DownloadWindowState;

// The window side of the parallel method: downloader instances on slots 1 to 6, started by
// `多线程下载`, and the three handlers that carry their progress, completion and failure into the
// row the slot table names. An instance is unloaded after every outcome; it is destroyed later
// from the event loop, never under a handler that is still running.
class ParallelDownloads : public QObject {
    Q_OBJECT
public:
    static constexpr int kSlots = 6;

    ParallelDownloads(AppContext& ctx, DownloadList& list, DownloadWindowState& state,
                      QObject* parent = nullptr);
    ~ParallelDownloads() override;

    void setOptions(const TransferOptions& options) { m_options = options; }
    const TransferOptions& options() const { return m_options; }

    // Starts a transfer of `address` into `path` for the row on slot 1 to 6 (an instance already
    // on the slot is reused). A row without an address or whose path is not a file inside a
    // usable folder fails at once with a status word and starts nothing.
    void 多线程下载(int slot, RowId row, const QString& address, const QString& path);

    // Whether slot n has an instance; how many instances exist (slots 1 to 6).
    bool slotBusy(int slot) const;
    int instanceCount() const;
    // Destroys the instance of a slot (its transfer ends, nothing is kept, no event follows),
    // or all of them (the stop command).
    void unload(int slot);
    void unloadAll();
    // Whether a running transfer will write this path: the naming of the next row treats it as
    // taken, as if the file existed.
    bool isPathReserved(const QString& path) const;

    // The period of every instance's stall watchdog (one second).
    void setWatchdogIntervalMs(int ms) { m_watchdogMs = ms; }

    Downloader* instance(int slot) const;

signals:
    void panel2TextChanged(const QString& text);
    void fileEnded(quint64 row);
    void webPageReceived(quint64 row);

private:
    void onProgress(int slot, qint64 received, qint64 total);
    void onComplete(int slot, qint64 received, qint64 total);
    void onError(int slot);
    int rowOfSlot(int slot) const;
    void fileEndedOn(RowId id);

    AppContext& m_ctx;
    DownloadList& m_list;
    DownloadWindowState& m_state;
    DownloadNetwork* m_network;
    TransferOptions m_options;
    std::array<QPointer<Downloader>, kSlots + 1> m_instances{};
    int m_watchdogMs = 1000;
};

} // namespace peldora
