#pragma once
// "Calculating File Size": the count of what a saving run will copy, on a worker of its
// own, with the running total and a "Stop " that asks first.

#include <functional>

class QWidget;

namespace vantrel {
class ModelWindow;
}

namespace vantrel::qt {

void RunCountingDialog(QWidget* parent, ModelWindow& window, const std::function<void()>& count,
                       const std::function<void()>& stop);

}  // namespace vantrel::qt
