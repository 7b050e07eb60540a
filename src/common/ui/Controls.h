#pragma once
#include <QString>
#include <utility>

class QWidget;

namespace peldora {

// Creates a control of the window with the name the program's commands and tests find it by
// ("Command4", "ListView3"): MakeControl<QPushButton>(parent, "Command4", "开始下载").
template <typename Control, typename... Args>
Control* MakeControl(QWidget* parent, const QString& name, Args&&... args) {
    auto* control = new Control(std::forward<Args>(args)..., parent);
    control->setObjectName(name);
    return control;
}

} // namespace peldora
