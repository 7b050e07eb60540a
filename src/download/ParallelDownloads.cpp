#include "download/ParallelDownloads.h"
#include "download/RowKinds.h"
#include "app/AppContext.h"
#include "common/FileHelpers.h"
#include "common/Text.h"
#include "download/DownloadNetwork.h"
#include "download/DownloadWindowState.h"
#include "download/Downloader.h"
#include "download/FileTypeCheck.h"
#include "platform/Clock.h"
#include "platform/Sound.h"

#include <QDir>
#include <QFileInfo>

namespace peldora {

namespace {

QString CanonicalTarget(const QString& path) {
    return QDir::cleanPath(QFileInfo(LocalFilePath(path)).absoluteFilePath());
}

} // namespace

ParallelDownloads::ParallelDownloads(AppContext& ctx, DownloadList& list,
                                     DownloadWindowState& state, QObject* parent)
    : QObject(parent), m_ctx(ctx), m_list(list), m_state(state), m_network(ctx.network) {
    if (!m_network) m_network = new DownloadNetwork(this);
}

ParallelDownloads::~ParallelDownloads() {
    unloadAll();
}

Downloader* ParallelDownloads::instance(int slot) const {
    return slot >= 1 && slot <= kSlots ? m_instances[slot].data() : nullptr;
}

bool ParallelDownloads::slotBusy(int slot) const {
    return instance(slot) != nullptr;
}

int ParallelDownloads::instanceCount() const {
    int n = 0;
    for (int s = 1; s <= kSlots; ++s)
        if (m_instances[s]) ++n;
    return n;
}

bool ParallelDownloads::isPathReserved(const QString& path) const {
    if (TrimSpaces(path).isEmpty()) return false;
    const QString target = CanonicalTarget(path);
    for (int s = 1; s <= kSlots; ++s)
        if (m_instances[s] && m_instances[s]->running() &&
            CanonicalTarget(m_instances[s]->savePath()) == target)
            return true;
    return false;
}

void ParallelDownloads::unload(int slot) {
    Downloader* d = instance(slot);
    if (!d) return;
    m_instances[slot] = nullptr;
    d->disconnect(this);
    d->CancelAsyncRead();
    d->deleteLater();
}

void ParallelDownloads::unloadAll() {
    for (int s = 1; s <= kSlots; ++s) unload(s);
}

int ParallelDownloads::rowOfSlot(int slot) const {
    if (slot < 1 || slot >= int(m_state.slotTable.size())) return -1;
    const RowId id = m_state.slotTable[slot];
    return id ? m_list.rowOfId(id) : -1;
}

void ParallelDownloads::多线程下载(int slot, RowId id, const QString& address, const QString& path) {
    if (slot < 1 || slot > kSlots) return;
    const int r = m_list.rowOfId(id);
    if (r < 0) return;
    m_state.slotTable[slot] = id;
    m_state.downloadBusy = true;
    m_list.setStatus(r, RowStatus::Downloading);
    m_list.setText(r, ColSize, QString());
    m_list.setText(r, ColReceived, QString());
    m_list.setText(r, ColPercent, QString());

    // Nothing is started that would read from nowhere or write outside a folder of its own.
    QString refusal;
    const QString target = LocalFilePath(path);
    const QFileInfo info(target);
    if (TrimSpaces(address).isEmpty())
        refusal = kNoAddressText;
    else if (target.isEmpty() || !info.isAbsolute() || !NamesFileInFolder(info.fileName()) ||
             info.absoluteDir().isRoot())
        refusal = kBadTargetText;
    else if (!FolderExists(info.absolutePath()))
        refusal = kFolderFailedText;
    if (!refusal.isEmpty()) {
        unload(slot);
        m_list.setText(r, ColPercent, refusal);
        m_list.setStatus(r, RowStatus::Failed);
        fileEndedOn(id);
        return;
    }

    Downloader* d = instance(slot);
    if (!d) {
        d = new Downloader(*m_network, m_ctx.clock, this);
        d->setObjectName(QStringLiteral("Downloader1"));
        m_instances[slot] = d;
        connect(d, &Downloader::DownloadProgress, this,
                [this, slot](qint64 received, qint64 total, const QString&) {
                    onProgress(slot, received, total);
                });
        connect(d, &Downloader::DownloadComplete, this,
                [this, slot](qint64 received, qint64 total, const QString&) {
                    onComplete(slot, received, total);
                });
        connect(d, &Downloader::DownloadError, this,
                [this, slot](const QString&, const QString&) { onError(slot); });
    }
    d->setWatchdogIntervalMs(m_watchdogMs);
    d->BeginDownload(address, target, m_list.tag(r));
}

void ParallelDownloads::onProgress(int slot, qint64 received, qint64 total) {
    const int r = rowOfSlot(slot);
    if (r < 0) return;
    const double max = m_ctx.state.maxFileSizeMB;
    if (total > 0 && total >= received) {
        m_list.setText(r, ColSize, QString::number(total));
        m_list.setText(r, ColReceived, QString::number(received));
        m_list.setText(r, ColPercent, QString::number(received * 100 / total) + u'%');
    }
    // Too large by what was announced, or by what has arrived when nothing was announced:
    // the transfer is abandoned and nothing of it is kept.
    if (double(std::max(total, received)) / 1024.0 / 1024.0 > max) {
        const RowId id = m_list.idOfRow(r);
        m_list.setStatus(r, RowStatus::Completed);
        m_list.setText(r, ColPercent, kLargeFileSkippedText);
        m_state.lastFinishTime = m_ctx.clock.elapsedSeconds();
        unload(slot);
        emit fileEnded(id);
    }
}

void ParallelDownloads::onComplete(int slot, qint64 received, qint64 total) {
    int r = rowOfSlot(slot);
    if (r < 0) {
        unload(slot);
        return;
    }
    const RowId id = m_list.idOfRow(r);
    if (total > 0 && total >= received) {
        m_list.setText(r, ColSize, QString::number(total));
        m_list.setText(r, ColReceived, QString::number(received));
        m_list.setText(r, ColPercent, QString::number(received * 100 / total) + u'%');
    }
    m_list.setStatus(r, m_list.text(r, ColPercent) == u"100%" ? RowStatus::Completed
                                                                : RowStatus::Failed);
    unload(slot);
    CorrectRowType(m_list, r);
    emit panel2TextChanged(QStringLiteral("完成下载:") + m_list.text(r, ColName));
    const QString type = m_list.text(r, ColType);
    if (m_options.soundCues) {
        if (IsHtmType(type)) m_ctx.sound.play(kCueWebPage);
        if (m_list.status(r) == RowStatus::Failed) m_ctx.sound.play(kCueFailed);
    }
    if (m_options.autoLogin && IsHtmType(type)) emit webPageReceived(id);
    m_state.lastFinishTime = m_ctx.clock.elapsedSeconds();
    emit fileEnded(id);
}

void ParallelDownloads::onError(int slot) {
    const int r = rowOfSlot(slot);
    unload(slot);
    m_state.lastFinishTime = m_ctx.clock.elapsedSeconds();
    if (r < 0) return;
    m_list.setStatus(r, RowStatus::Failed);
    emit fileEnded(m_list.idOfRow(r));
}

void ParallelDownloads::fileEndedOn(RowId id) {
    m_state.lastFinishTime = m_ctx.clock.elapsedSeconds();
    emit fileEnded(id);
}

} // namespace peldora
