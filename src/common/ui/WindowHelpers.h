#pragma once
#include <QString>

class QComboBox;

namespace peldora {

// Widens a combo box's drop-down list to its longest entry, within the screen.
void FitComboDropWidth(QComboBox* combo);

// Whether a top-level window of that object name (any letter case) exists, shown or hidden.
bool IsFormLoaded(const QString& windowName);

} // namespace peldora
