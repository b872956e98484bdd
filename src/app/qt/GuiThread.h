#pragma once
// Runs a function on the GUI thread and waits for its result: directly when already there,
// otherwise through a blocking queued call (the worker waits for the user's answer).

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <type_traits>

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
#endif

namespace vantrel::qt {

// Qt waits for a blocking queued call on futexes that ThreadSanitizer does not see (Qt is not
// built with it); these tell it that the call is ordered with the caller's work before and after.
inline void HandOver([[maybe_unused]] void* token) {
#if defined(__SANITIZE_THREAD__)
  __tsan_release(token);
#endif
}
inline void TakeOver([[maybe_unused]] void* token) {
#if defined(__SANITIZE_THREAD__)
  __tsan_acquire(token);
#endif
}

template <typename Fn>
auto OnGuiThread(QObject* context, Fn fn) -> std::invoke_result_t<Fn> {
  using Result = std::invoke_result_t<Fn>;
  if (QThread::currentThread() == context->thread()) return fn();
  char token = 0;
  HandOver(&token);
  if constexpr (std::is_void_v<Result>) {
    QMetaObject::invokeMethod(
        context,
        [&] {
          TakeOver(&token);
          fn();
          HandOver(&token);
        },
        Qt::BlockingQueuedConnection);
    TakeOver(&token);
  } else {
    Result result{};
    QMetaObject::invokeMethod(
        context,
        [&] {
          TakeOver(&token);
          result = fn();
          HandOver(&token);
        },
        Qt::BlockingQueuedConnection);
    TakeOver(&token);
    return result;
  }
}

}  // namespace vantrel::qt
