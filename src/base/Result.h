#pragma once

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

namespace quendrix {

/// What sort of refusal a failure is, for the few callers that answer one sort differently;
/// the reason text is for people and is never compared.
enum class FailureKind {
    Refused,     ///< the input or a setting cannot be used; the reason says why
    EqualBounds, ///< a range whose two bounds are the same number
    NotReady,    ///< an earlier step has not been done
};

/// A refusal with the reason shown to the user ("line 12: empty Y value").
struct Failure {
    std::string reason;
    FailureKind kind = FailureKind::Refused;
};

/// A refusal because an earlier step has not been done ("import file 1 first").
inline Failure notReady(std::string what) {
    return {std::move(what), FailureKind::NotReady};
}

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
    Result(Failure failure) : reason_(std::move(failure.reason)), kind_(failure.kind) {}

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
    FailureKind kind() const { return kind_; }
    /// The refusal, passed on by a caller that fails for the same reason.
    Failure failure() const { return {reason_, kind_}; }

  private:
    void require() const {
        if (!value_) {
            detail::missingResultValue(reason_);
        }
    }

    std::optional<T> value_;
    std::string reason_;
    FailureKind kind_ = FailureKind::Refused;
};

/// Success or the reason of a refusal.
class [[nodiscard]] Status {
  public:
    Status() = default;
    Status(Failure failure)
        : failed_(true), reason_(std::move(failure.reason)), kind_(failure.kind) {}
    /// A result's success or refusal, without its value.
    template <class T>
    Status(const Result<T>& result)
        : failed_(!result.ok()), reason_(result.reason()), kind_(result.kind()) {}

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const std::string& reason() const { return reason_; }
    FailureKind kind() const { return kind_; }
    /// The refusal, passed on by a caller that fails for the same reason.
    Failure failure() const { return {reason_, kind_}; }

  private:
    bool failed_ = false;
    std::string reason_;
    FailureKind kind_ = FailureKind::Refused;
};

} // namespace quendrix
