#pragma once

#include <QString>

#include <cerrno>
#include <optional>
#include <utility>

namespace pelorix::platform {

// What an operation that can fail answers: success, or failure with its reason in words fit for
// the debug log (an errno text, a parse error and where it happened, the program not found).
class [[nodiscard]] Outcome {
  public:
    static Outcome success() { return Outcome(true, {}); }
    static Outcome failure(QString reason) { return Outcome(false, std::move(reason)); }
    // The failure that the errno value describes (by default the one of the moment).
    static Outcome failureFromErrno(int error = errno);

    explicit operator bool() const { return succeeded_; }
    // Empty on success.
    const QString& reason() const { return reason_; }

  private:
    Outcome(bool succeeded, QString reason) : succeeded_(succeeded), reason_(std::move(reason)) {}

    bool succeeded_;
    QString reason_;
};

// A value, or the reason there is none.
template <typename T>
class [[nodiscard]] Fallible {
  public:
    Fallible(T value) : value_(std::move(value)) {}
    // From a failed outcome; its reason is kept.
    Fallible(const Outcome& failure) : reason_(failure.reason()) {}

    explicit operator bool() const { return value_.has_value(); }
    bool has_value() const { return value_.has_value(); }
    const T& operator*() const { return *value_; }
    const T* operator->() const { return &*value_; }
    T value_or(T fallback) const { return value_.value_or(std::move(fallback)); }
    // Empty when there is a value.
    const QString& reason() const { return reason_; }

    friend bool operator==(const Fallible& fallible, const T& value) {
        return fallible.value_ == value;
    }

  private:
    std::optional<T> value_;
    QString reason_;
};

}  // namespace pelorix::platform
