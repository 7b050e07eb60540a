#pragma once

namespace peldora {

// The hand-offs between the program's main windows, as the windows ask for them. One object
// knows the windows (app/ui/MainWindows): it creates the download window on first use and
// brings the cover back when the last of the search and download windows has closed.
class MainWindowSwitch {
public:
    virtual ~MainWindowSwitch() = default;
    // The search window, created and loaded on first use, shown and raised; the cover hides.
    virtual void openSearchWindow() = 0;
    // The download window, created and loaded on first use, shown and raised.
    virtual void openDownloadWindow() = 0;
};

} // namespace peldora
