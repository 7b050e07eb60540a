#pragma once
#include <QString>

namespace peldora {

// What happens when a file of the target name already exists. The download window stores the
// caption of the chosen option button.
enum class SameNamePolicy { Skip, Overwrite, Rename };

inline QString SameNamePolicyCaption(SameNamePolicy policy) {
    switch (policy) {
    case SameNamePolicy::Skip:
        return QStringLiteral("跳过");
    case SameNamePolicy::Overwrite:
        return QStringLiteral("覆盖");
    case SameNamePolicy::Rename:
        break;
    }
    return QStringLiteral("重命名");
}

// The policy whose caption equals the stored text, checked as skip, then overwrite; anything
// else is rename.
inline SameNamePolicy SameNamePolicyFromText(const QString& stored) {
    if (stored == SameNamePolicyCaption(SameNamePolicy::Skip)) return SameNamePolicy::Skip;
    if (stored == SameNamePolicyCaption(SameNamePolicy::Overwrite))
        return SameNamePolicy::Overwrite;
    return SameNamePolicy::Rename;
}

} // namespace peldora
