#include "app/WindowPlacement.h"
#include "app/SettingsStore.h"

#include <algorithm>
#include <cmath>

namespace peldora {

QString ScreenDescription(long widthTwips, long heightTwips) {
    const auto px = [](long twips) { return std::lround(double(twips) / kTwipsPerPixel); };
    return QString::number(px(widthTwips)) + u'*' + QString::number(px(heightTwips));
}

void SaveWindowPlacement(SettingsStore& store, const QString& windowName,
                         const WindowGeometry& geometry, const QString& screen) {
    if (geometry.maximized) {
        store.WriteSetting(windowName, keys::kResolution, QStringLiteral("0*0"));
        return;
    }
    store.WriteSetting(windowName, keys::kResolution, screen);
    store.WriteSetting(windowName, keys::kTop, QString::number(geometry.top));
    store.WriteSetting(windowName, keys::kLeft, QString::number(geometry.left));
    store.WriteSetting(windowName, keys::kWidth, QString::number(geometry.width));
    store.WriteSetting(windowName, keys::kHeight, QString::number(geometry.height));
}

WindowGeometry RestoreWindowPlacement(const SettingsStore& store, const QString& windowName,
                                      const QString& screen) {
    WindowGeometry g;
    if (store.ReadSetting(windowName, keys::kResolution, QStringLiteral("000")) != screen) {
        g.maximized = true;
        return g;
    }
    // A stored value that is not a number counts as its default.
    const auto read = [&](const QString& key, long fallback) {
        bool ok = false;
        const long v = store.ReadSetting(windowName, key, QString::number(fallback)).toLong(&ok);
        return ok ? v : fallback;
    };
    g.top = std::max(0L, read(keys::kTop, 100));
    g.left = std::max(0L, read(keys::kLeft, 100));
    g.width = std::max(4000L, read(keys::kWidth, 15000));
    g.height = std::max(3000L, read(keys::kHeight, 10000));
    return g;
}

} // namespace peldora
