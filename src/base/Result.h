#pragma once
// What an engine call gives back: its value, or the error that kept it from one, with the
// sentence that says why and the kind of failure it was. The engine API turns an error into
// the result of a step at its edge.

#include <string>
#include <utility>
#include <variant>

namespace vantrel {

enum class ErrorKind {
  Refused,     // the request itself cannot be carried out
  Unreadable,  // the disk or file named cannot be read
  NotFound,    // no such record, folder or file
  Rejected,    // a file read whole but not taken: damaged, or made for something else
  Failed,      // the work was done, but not all of it came out whole
  Stopped,     // the user stopped the run
};

struct Error {
  ErrorKind kind = ErrorKind::Refused;
  std::string text;    // one sentence without a full stop; may be empty when the user was told already
  std::string reason;  // the message the user was shown, where it differs from text
};

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : held_(std::in_place_index<0>, std::move(value)) {}      // NOLINT(google-explicit-constructor)
  Result(Error error) : held_(std::in_place_index<1>, std::move(error)) {}  // NOLINT(google-explicit-constructor)

  bool HasValue() const { return held_.index() == 0; }
  explicit operator bool() const { return HasValue(); }

  T& Value() & { return std::get<0>(held_); }
  const T& Value() const& { return std::get<0>(held_); }
  T&& Value() && { return std::get<0>(std::move(held_)); }
  T* operator->() { return &Value(); }
  const T* operator->() const { return &Value(); }
  T& operator*() & { return Value(); }
  const T& operator*() const& { return Value(); }

  const Error& Failure() const { return std::get<1>(held_); }

 private:
  std::variant<T, Error> held_;
};

}  // namespace vantrel
