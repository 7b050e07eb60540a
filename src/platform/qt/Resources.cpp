#include "platform/qt/Resources.h"

#include <QtGlobal>

static void InitPeldoraResources() { Q_INIT_RESOURCE(resources); }

namespace peldora {
void InitResources() { InitPeldoraResources(); }
QIcon ProgramIcon() { return QIcon(QStringLiteral(":/images/cover.png")); }
} // namespace peldora
