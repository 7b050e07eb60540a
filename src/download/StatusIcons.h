#pragma once
#include "download/DownloadList.h"

#include <QIcon>

namespace peldora {

// The small picture shown before a download-list row for its status: a grey clock for waiting,
// a blue arrow for downloading, a green tick for completed, a red cross for failed. Drawn once
// and kept; needs a running GUI application.
QIcon RowStatusIcon(RowStatus status);

} // namespace peldora
