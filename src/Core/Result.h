#pragma once

#include <QString>
#include <cerrno>
#include <optional>
#include <utility>
#include <variant>

namespace orvana {

// What went wrong, for callers that act on it: they branch on the kind,
// never on the words, which are for people and may be translated.
enum class ErrorKind {
    general, // nothing a caller acts on
    notFound,
    damaged,      // not what it claims to be, or broken
    newerVersion, // written by a newer version of Orvana
    busy,         // another holds it; trying later may work
    diskFull,
    io,
    permission,
    invalidInput,
    network,
    authentication, // a key, password or registration that was refused
    certificate,    // a server certificate the system does not trust
};

// A failure with one sentence meant for a person, and its kind.
struct Error {
    QString message;
    ErrorKind kind = ErrorKind::general;
};

// The kind of a failed system call, from its errno.
inline ErrorKind errorKindOfErrno(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return ErrorKind::diskFull;
    case EACCES:
    case EPERM:
    case EROFS:
        return ErrorKind::permission;
    case ENOENT:
    case ENOTDIR:
        return ErrorKind::notFound;
    case EWOULDBLOCK:
    case EBUSY:
    case ETXTBSY:
        return ErrorKind::busy;
    default:
        return ErrorKind::io;
    }
}

// Either a value or an Error. Result<void> carries only the possible error.
template <class T> class [[nodiscard]] Result {
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

template <> class [[nodiscard]] Result<void> {
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
