#include "platform/qt/QtPlatform.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace peldora {

namespace {
bool OpenLocal(const QString& path) {
    return !path.isEmpty() && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
} // namespace

bool QtShell::openFile(const QString& path) { return OpenLocal(path); }
bool QtShell::openFolder(const QString& path) { return OpenLocal(path); }

bool QtShell::showFileInFolder(const QString& path) {
    // The freedesktop file-manager interface selects the file; without it the folder opens.
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 2000);
    if (reply.type() == QDBusMessage::ReplyMessage) return true;
    return OpenLocal(QFileInfo(path).absolutePath());
}

bool QtShell::openAddress(const QString& address) {
    const QUrl url = QUrl::fromUserInput(address);
    return url.isValid() && QDesktopServices::openUrl(url);
}

bool QtShell::openMail(const QString& address) {
    return QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + address));
}

bool QtShell::openInTextEditor(const QString& path) { return OpenLocal(path); }

QtSoundPlayer::QtSoundPlayer() = default;
QtSoundPlayer::~QtSoundPlayer() { qDeleteAll(m_effects); }

void QtSoundPlayer::play(int cue) {
    if (cue < 101 || cue > 103) return;
    // Without an audio device the cue is silent; the sound back end is then never started.
    if (QMediaDevices::audioOutputs().isEmpty()) return;
    QSoundEffect*& effect = m_effects[cue];
    if (!effect) {
        effect = new QSoundEffect;
        effect->setSource(QUrl(QStringLiteral("qrc:/sounds/%1.wav").arg(cue)));
    }
    effect->play();
}

} // namespace peldora
