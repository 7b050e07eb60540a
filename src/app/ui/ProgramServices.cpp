#include "app/ui/ProgramServices.h"
#include "download/DownloadNetwork.h"
#include "download/ui/BrowserSession.h"
#include "tools/SystemRegistry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace peldora {

ProgramServices::ProgramServices()
    : m_settings(SettingsStore::DefaultPath()), m_registry(DefaultRegistryPath(), QString()) {
    const SystemFacts facts = ReadSystemFacts();
    PrepareSystemRegistry(m_registry, facts);
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dataFolder);
    m_context.reset(new AppContext{
        m_settings, m_registry, m_dialogs, m_clock, m_pump, m_shell, m_sound, facts,
        QDir::toNativeSeparators(dataFolder), QStringLiteral("peldora"), ProgramState{},
        [] { QCoreApplication::exit(0); }});
    m_network = std::make_unique<DownloadNetwork>();
    JoinBrowserSession(*m_network);
    m_context->network = m_network.get();
}

ProgramServices::~ProgramServices() = default;

} // namespace peldora
