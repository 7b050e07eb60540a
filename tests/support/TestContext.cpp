#include "support/TestContext.h"
#include "tools/SystemRegistry.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace peldora::test {

TestContext::TestContext(bool realTime)
    : settings(m_dir.path() + QStringLiteral("/Peldora.ini")),
      registry(m_dir.path() + QStringLiteral("/registry.json"), QStringLiteral("64")) {
    SystemFacts facts;
    facts.systemTypes = {QStringLiteral("x64-based PC")};
    facts.productName = QStringLiteral("Debian GNU/Linux 12 (bookworm)");
    facts.release = QStringLiteral("12");
    facts.kernelVersion = QStringLiteral("6.1.0-18-amd64");
    PrepareSystemRegistry(registry, facts);
    QDir().mkpath(m_dir.path() + QStringLiteral("/data"));
    m_ctx.reset(new AppContext{settings, registry, dialogs,
                               realTime ? static_cast<Clock&>(m_realClock) : clock,
                               realTime ? static_cast<EventPump&>(m_realPump) : pump, shell, sound, facts,
                               m_dir.path() + QStringLiteral("/data"), QStringLiteral("peldora"),
                               ProgramState{}, [this] { ++endProgramCalls; }});
}

void IsolateUserFolders() {
    static QTemporaryDir home(QDir::tempPath() + QStringLiteral("/peldora-test-XXXXXX"));
    const QByteArray h = home.path().toUtf8();
    qputenv("HOME", h);
    qputenv("XDG_CONFIG_HOME", h + "/.config");
    qputenv("XDG_DATA_HOME", h + "/.local/share");
    qputenv("XDG_CACHE_HOME", h + "/.cache");
    qputenv("XDG_RUNTIME_DIR", h + "/runtime");
    QDir().mkpath(home.path() + QStringLiteral("/runtime"));
    QFile::setPermissions(home.path() + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

} // namespace peldora::test
