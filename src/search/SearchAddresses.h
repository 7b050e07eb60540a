#pragma once
#include <QString>

namespace peldora {

// The J-STAGE site and its two search start pages.
inline const QString kJStageHost = QStringLiteral("https://www.jstage.jst.go.jp");
inline const QString kJStageEnglishStart = kJStageHost + QStringLiteral("/");
inline const QString kJStageJapaneseStart = kJStageHost + QStringLiteral("/browse/-char/ja/");

} // namespace peldora
