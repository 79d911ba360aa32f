#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <variant>

namespace orvana {

// A failure with one sentence meant for a person.
struct Error {
    QString message;
};

// Either a value or an Error. Result<void> carries only the possible error.
template <class T>
class [[nodiscard]] Result {
public:
    // A default value; coroutine helpers (QCoro::waitFor) need one.
    Result() = default;
    Result(T value) : state_(std::move(value)) {}
    Result(Error error) : state_(std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }
    T& value() { return std::get<0>(state_); }
    const T& value() const { return std::get<0>(state_); }
    const Error& error() const { return std::get<1>(state_); }

private:
    std::variant<T, Error> state_;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : error_(std::move(error)) {}

    bool ok() const { return !error_.has_value(); }
    explicit operator bool() const { return ok(); }
    const Error& error() const { return *error_; }

private:
    std::optional<Error> error_;
};

} // namespace orvana
