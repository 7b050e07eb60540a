#pragma once
#include <QString>

namespace peldora {

class SettingsStore;

// Twips, the unit the placement is stored in: 15 to a pixel at 96 dpi.
inline constexpr int kTwipsPerPixel = 15;

// Where a window is, in twips, and whether it is maximized.
struct WindowGeometry {
    bool maximized = false;
    long top = 0;
    long left = 0;
    long width = 0;
    long height = 0;
};

// The screen as "width*height", each twips value divided by 15 and rounded.
QString ScreenDescription(long widthTwips, long heightTwips);

// Saves a window's placement under its name; a maximized window only records "0*0".
void SaveWindowPlacement(SettingsStore& store, const QString& windowName,
                         const WindowGeometry& geometry, const QString& screen);
// The placement to apply: maximized when the screen changed since the save (or the window was
// closed maximized, or never saved), else the stored rectangle, raised to its minimums.
WindowGeometry RestoreWindowPlacement(const SettingsStore& store, const QString& windowName,
                                      const QString& screen);

} // namespace peldora
