#pragma once
// The "Saving" dialog: the values the saving run writes into the window's model, "&Stop"
// and "S&kip"; it closes itself when the run ends.

#include <functional>

namespace vantrel {
class ModelWindow;
struct SavingRun;
}  // namespace vantrel

class QWidget;

namespace vantrel::qt {

void RunSavingDialog(QWidget* parent, ModelWindow& window, SavingRun& run, const std::function<bool()>& running);

}  // namespace vantrel::qt
