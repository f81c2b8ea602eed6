#pragma once

#include <optional>
#include <string>
#include <utility>

namespace quendrix {

/// A refusal with the reason shown to the user ("line 12: empty Y value").
struct Failure {
    std::string reason;
};

/// The value of an operation or the reason it was refused; every core operation that can fail
/// returns one of these and changes nothing when it fails.
template <class T> class Result {
  public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure failure) : reason_(std::move(failure.reason)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return *value_; }
    T& value() & { return *value_; }
    T&& value() && { return std::move(*value_); }
    const T* operator->() const { return &*value_; }
    T* operator->() { return &*value_; }
    const std::string& reason() const { return reason_; }

  private:
    std::optional<T> value_;
    std::string reason_;
};

/// Success or the reason of a refusal.
class Status {
  public:
    Status() = default;
    Status(Failure failure) : failed_(true), reason_(std::move(failure.reason)) {}

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const std::string& reason() const { return reason_; }

  private:
    bool failed_ = false;
    std::string reason_;
};

} // namespace quendrix
