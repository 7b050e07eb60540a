#pragma once
#include <QString>

namespace peldora {

// Unset until the download window has loaded the stored method.
enum class DownloadMethod { Unset = 0, Single = 1, Parallel = 2 };

// The program-wide variables shared by the windows for the whole run.
struct ProgramState {
    // Mirrors of settings.
    QString saveFolder;           // the download folder; ends with the separator after the dialog
    double maxFileSizeMB = 10;
    int promptSaveFolder = 1;     // 1 = ask when harvesting, else when handing over
    DownloadMethod downloadMethod = DownloadMethod::Unset;
    int proxyEnabled = 0;
    QString proxyAddress;
    QString proxyPort;
    bool useOriginalName = false; // true = server file name, false = article title
    bool saveDialogCancelled = false;
    // Filled from the system at start-up.
    QString osBitness;            // "32" or "64"
    QString windowsDescription;   // description + "[" + bitness + "位]"
    QString browserEmulation;     // "IE7" ... "IE11" or "IE默认"
    QString latestVersion;
};

} // namespace peldora
