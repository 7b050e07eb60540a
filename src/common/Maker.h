#pragma once
#include <QString>
#include <QStringList>

namespace peldora {

// The program's maker, as the windows name it.
inline const QString kMakerName = QStringLiteral("Quenvar软件");

// The program's own web sites: their addresses are kept out of the visit history, and the
// status bar hides while one of them loads.
inline const QStringList kMakerDomains{QStringLiteral("peldora.org"),
                                       QStringLiteral("peldora-soft.net")};
inline const QString kMakerLatestVersion = QStringLiteral("https://peldora.org/download/");
inline const QString kMakerSupport = QStringLiteral("https://peldora.org/support/");
inline const QString kMakerCustom = QStringLiteral("https://peldora.org/custom/");
inline const QString kMakerSite1 = QStringLiteral("https://peldora.org/");
inline const QString kMakerSite2 = QStringLiteral("https://www.peldora-soft.net/");
inline const QString kMakerShop = QStringLiteral("https://www.peldora-soft.net/shop/");
inline const QString kMakerTutorials = QStringLiteral("https://peldora.org/faq/");
inline const QString kMakerMail = QStringLiteral("support@peldora.org");
// The program's product page: the site, the executable's name and "/".
inline QString MakerProductPage(const QString& executableName) {
    return kMakerSite1 + executableName + QStringLiteral("/");
}

// Whether the address belongs to one of the program's own sites (any letter case).
inline bool IsMakerAddress(const QString& address) {
    for (const QString& domain : kMakerDomains)
        if (address.contains(domain, Qt::CaseInsensitive)) return true;
    return false;
}

} // namespace peldora
