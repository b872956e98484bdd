#pragma once
// Runs a function on the GUI thread and waits for its result: directly when already there,
// otherwise through a blocking queued call (the worker waits for the user's answer).

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <type_traits>

namespace vantrel::qt {

template <typename Fn>
auto OnGuiThread(QObject* context, Fn fn) -> std::invoke_result_t<Fn> {
  using Result = std::invoke_result_t<Fn>;
  if (QThread::currentThread() == context->thread()) return fn();
  if constexpr (std::is_void_v<Result>) {
    QMetaObject::invokeMethod(context, fn, Qt::BlockingQueuedConnection);
  } else {
    Result result{};
    QMetaObject::invokeMethod(context, [&] { result = fn(); }, Qt::BlockingQueuedConnection);
    return result;
  }
}

}  // namespace vantrel::qt
