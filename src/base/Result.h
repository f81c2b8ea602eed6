#pragma once

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

namespace quendrix {

/// A refusal with the reason shown to the user ("line 12: empty Y value").
struct Failure {
    std::string reason;
};

namespace detail {
// Reading the value of a refusal is a programming error. It aborts in release builds too: the
// check costs nothing next to the work behind a result, and going on would read an empty value.
[[noreturn]] inline void missingResultValue(const std::string& reason) {
    std::fprintf(stderr, "quendrix: value of a refused result read (%s)\n", reason.c_str());
    std::abort();
}
} // namespace detail

/// The value of an operation or the reason it was refused; every core operation that can fail
/// returns one of these and changes nothing when it fails. Reading the value of a refusal aborts.
template <class T> class [[nodiscard]] Result {
  public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure failure) : reason_(std::move(failure.reason)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const& {
        require();
        return *value_;
    }
    T& value() & {
        require();
        return *value_;
    }
    T&& value() && {
        require();
        return std::move(*value_);
    }
    const T* operator->() const {
        require();
        return &*value_;
    }
    T* operator->() {
        require();
        return &*value_;
    }
    const std::string& reason() const { return reason_; }

  private:
    void require() const {
        if (!value_) {
            detail::missingResultValue(reason_);
        }
    }

    std::optional<T> value_;
    std::string reason_;
};

/// Success or the reason of a refusal.
class [[nodiscard]] Status {
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
