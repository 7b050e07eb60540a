#include "download/DownloadScheduler.h"
#include "download/RowKinds.h"
#include "app/AppContext.h"
#include "common/FileHelpers.h"
#include "common/PathSeparator.h"
#include "common/Text.h"
#include "download/DownloadCommands.h"
#include "download/DownloadWindowState.h"
#include "download/SavedFileNaming.h"
#include "download/TransferMethods.h"
#include "platform/Clock.h"
#include "platform/Sound.h"

#include <QPointer>
#include <QTimer>
#include <algorithm>

namespace peldora {

namespace {

constexpr int kMaxSlots = 6;
constexpr int kCueFinished = 102;

// The thread count as slots: a count that is not a number (0) starts nothing.
int SlotCount(int threadCount) {
    return std::clamp(threadCount, 0, kMaxSlots);
}

// Sets a flag for the length of a scope.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~FlagScope() { m_flag = false; }

private:
    bool& m_flag;
};

} // namespace

DownloadScheduler::DownloadScheduler(AppContext& ctx, DownloadList& list,
                                     DownloadWindowState& state, TransferMethods& transfers,
                                     QObject* parent)
    : QObject(parent), m_ctx(ctx), m_list(list), m_state(state), m_transfers(transfers) {
    m_state.singleTransferExecuting = [this] { return m_transfers.singleExecuting(); };
    m_state.parallelInstanceCount = [this] { return m_transfers.instanceCount(); };
    m_state.stopCommand = [this] { stopDownloading(); };
    m_state.cancelSingleTransfer = [this] { m_transfers.cancelSingle(); };
    m_statePointer = &state;
}

DownloadScheduler::~DownloadScheduler() {
    // The state may be gone already when both belong to one window; its hooks name us.
    if (!m_statePointer) return;
    m_statePointer->singleTransferExecuting = {};
    m_statePointer->parallelInstanceCount = {};
    m_statePointer->stopCommand = {};
    m_statePointer->cancelSingleTransfer = {};
}

bool DownloadScheduler::downloading() const {
    return m_state.schedulerTimer()->isActive();
}

void DownloadScheduler::startDownloading() {
    setDownloading(true);
}

void DownloadScheduler::stopDownloading() {
    options.autoStart = false;
    options.autoRedownload = false;
    emit autoOptionsCleared();
    m_transfers.cancelSingle();
    setDownloading(false);
    m_state.downloadBusy = false;
    m_transfers.cancelSingle();
    m_transfers.unloadAll();
    for (int r = 0; r < m_list.count(); ++r)
        if (m_list.status(r) == RowStatus::Downloading) m_list.setStatus(r, RowStatus::Failed);
    m_state.downloadBusy = false;
    reportStatistics();
}

void DownloadScheduler::switchDownloadMethod() {
    DownloadMethod& method = m_ctx.state.downloadMethod;
    method = method == DownloadMethod::Parallel ? DownloadMethod::Single : DownloadMethod::Parallel;
    m_state.threadCount = 1;
    emit downloadMethodChanged(int(method));
}

int DownloadScheduler::errorStopCount() const {
    int n = 0;
    for (int r = 0; r < m_list.count(); ++r)
        n += IsHtmType(m_list.text(r, ColType)) || m_list.status(r) == RowStatus::Failed;
    return n;
}

void DownloadScheduler::setDownloading(bool on) {
    QTimer* timer = m_state.schedulerTimer();
    if (on && !timer->isActive())
        timer->start();
    else if (!on)
        timer->stop();
    reportDownloading();
}

void DownloadScheduler::reportDownloading() {
    const bool on = downloading();
    if (on == m_reportedDownloading) return;
    m_reportedDownloading = on;
    emit downloadingChanged(on);
}

void DownloadScheduler::reportStatistics() {
    emit statisticsChanged(m_list.StatisticsLine());
}

void DownloadScheduler::playCue(int cue) {
    if (options.soundCues) m_ctx.sound.play(cue);
}

void DownloadScheduler::schedulerTick() {
    if (m_inTick) return;
    if (m_list.count() == 0) {
        setDownloading(false);
        return;
    }
    // The pause runs on the steady clock: the time of day would end it early at midnight.
    const double elapsed = m_ctx.clock.elapsedSeconds() - m_state.lastFinishTime;
    if (!(elapsed > m_state.pauseSeconds)) return;
    if (m_ctx.state.downloadMethod == DownloadMethod::Single)
        runSingleTick();
    else
        runParallelTick();
}

void DownloadScheduler::runSingleTick() {
    // A method-1 download runs inside the tick that started it and pumps events, so later
    // ticks arrive while it runs; they start nothing.
    if (m_singleCalls > 0 || m_transfers.singleExecuting()) return;
    // The run flag also stays set while parallel downloaders run (after a switch from method
    // 2): those go on to their end, and method 1 takes the next row meanwhile. Any other set
    // flag is a single transfer still winding up.
    const bool flagOfDownloaders = m_transfers.instanceCount() > 0;
    if (m_state.downloadBusy && !flagOfDownloaders) return;
    int row;
    {
        FlagScope walking(m_inTick);
        row = nextRowToDownload(false, nullptr);
    }
    if (row < 0) {
        reportStatistics();
        return;
    }
    const RowId id = m_list.idOfRow(row);
    markStarted(row);
    m_state.slotTable[1] = id;
    reportStatistics();

    QPointer<DownloadScheduler> self(this);
    ++m_singleCalls;
    m_state.downloadBusy = false; // the single transfer refuses to start under a set flag
    m_transfers.Inet下载当前文件(id);
    if (!self) return; // the window went away while the file downloaded
    --m_singleCalls;
    reportStatistics();
}

void DownloadScheduler::runParallelTick() {
    FlagScope walking(m_inTick);
    m_pathsThisTick.clear();
    const int slotCount = SlotCount(m_state.threadCount);
    for (int slot = 1; slot <= slotCount; ++slot) {
        if (m_transfers.slotBusy(slot)) continue;
        QString target;
        const int row = nextRowToDownload(true, &target);
        if (row < 0) break; // no waiting row is left for the other slots either
        const RowId id = m_list.idOfRow(row);
        markStarted(row);
        m_state.slotTable[slot] = id;
        m_pathsThisTick.insert(target);
        m_transfers.多线程下载(slot, id, 选择url(m_list.key(row)), target);
    }
    m_pathsThisTick.clear();
    reportStatistics();
}

int DownloadScheduler::nextRowToDownload(bool parallel, QString* targetPath) {
    for (int r = 0; r < m_list.count() && m_list.counts().waiting > 0; ++r) {
        if (m_list.status(r) != RowStatus::Waiting) continue;
        if (prepareRow(r, parallel, targetPath) == Prepared::Download) return r;
    }
    return -1;
}

DownloadScheduler::Prepared DownloadScheduler::prepareRow(int row, bool parallel,
                                                          QString* targetPath) {
    m_list.setText(row, ColName, SanitizeFileName(m_list.text(row, ColName)));

    // A folder that cannot be made as asked fails the row: no download goes to the part of
    // the path that exists, nor to the root. The status word tells the user; a message box
    // here would come back with every retry of the automatic re-download.
    bool badPiece = false;
    const QString folder =
        CreateFolderPath(m_list.text(row, ColFolder), [&](const QString&) { badPiece = true; });
    if (folder.isEmpty() || badPiece) {
        failRow(row, kFolderFailedText);
        return Prepared::Failed;
    }
    m_list.setText(row, ColFolder, WithTrailingSep(folder));

    if (!确定是需要下载(m_list, row, m_state.sameNamePolicy)) return Prepared::Skipped;

    if (TrimSpaces(选择url(m_list.key(row))).isEmpty()) {
        failRow(row, kNoAddressText);
        return Prepared::Failed;
    }
    if (!parallel) return Prepared::Download;

    QString finalName;
    const QString path = freeTargetPath(m_list.text(row, ColFolder), m_list.text(row, ColName),
                                        m_list.text(row, ColType), &finalName);
    if (path.isEmpty()) {
        failRow(row, kBadTargetText);
        return Prepared::Failed;
    }
    m_list.setText(row, ColName, finalName);
    *targetPath = path;
    return Prepared::Download;
}

QString DownloadScheduler::freeTargetPath(const QString& folder, const QString& name,
                                          const QString& type, QString* finalName) const {
    // A downloader holds its name without a file on disk until it is complete, and rows named
    // earlier in this tick hold theirs: both count as taken, like files.
    const SavePath target = 重命名保存路径(
        folder, name, type, m_state.sameNamePolicy, [this](const QString& path) {
            return m_transfers.isPathReserved(path) || m_pathsThisTick.contains(path);
        });
    *finalName = target.name;
    return target.path;
}

void DownloadScheduler::failRow(int row, const QString& word) {
    m_list.setStatus(row, RowStatus::Failed);
    m_list.setText(row, ColSize, QString());
    m_list.setText(row, ColReceived, QString());
    m_list.setText(row, ColPercent, word);
}

void DownloadScheduler::markStarted(int row) {
    m_list.setStatus(row, RowStatus::Downloading);
    if (m_state.autoLocate) emit locateRow(row);
    for (int column : {ColSize, ColReceived, ColPercent}) m_list.setText(row, column, QString());
}

void DownloadScheduler::supervisorTick() {
    // 1. A finished list switches downloading off; the start entry is on while downloading
    //    is off or the list is finished.
    const bool finished = m_list.检测是否下载列表完毕();
    if (finished && downloading()) {
        setDownloading(false);
        playCue(kCueFinished);
    }
    const bool entry = finished || !downloading();
    if (!m_startEntryKnown || entry != m_startEntryEnabled) {
        m_startEntryKnown = true;
        m_startEntryEnabled = entry;
        emit startEntryEnabledChanged(entry);
    }

    // 2. Shape1.
    reportDownloading();

    // 3. The run flag.
    if (m_ctx.state.downloadMethod == DownloadMethod::Single) {
        if (!m_transfers.singleExecuting() && !downloading()) m_state.downloadBusy = false;
    } else {
        const int slotCount = SlotCount(m_state.threadCount);
        for (int slot = 1; slot <= slotCount; ++slot)
            if (m_transfers.slotBusy(slot)) m_state.downloadBusy = true;
        if (!downloading()) m_state.downloadBusy = false;
    }

    // 4. Statistics.
    reportStatistics();

    // 5. Auto start.
    if (options.autoStart && m_list.统计未下载项数目() >= 1) setDownloading(true);

    // 6. Auto re-download, in every tick that finds downloading off.
    if (options.autoRedownload && !downloading()) {
        int reset = 0;
        switch (options.redownloadChoice) {
        case 0:
            reset = 重新下载出错项(m_list);
            break;
        case 1:
            reset = 重新下载文件类型为HTM和HTML项(m_list);
            break;
        case 2:
            reset = 重新下载出错项(m_list);
            reset += 重新下载文件类型为HTM和HTML项(m_list);
            break;
        default:
            break;
        }
        setDownloading(true);
        if (reset > 0) reportStatistics();
    }

    // 7. Error stop.
    if (options.errorStop && downloading() && errorStopCount() >= 5) {
        setDownloading(false);
        playCue(kCueFinished);
    }
}

} // namespace peldora
