#pragma once

#include <QString>
#include <utility>
#include <variant>

// Why an operation failed: a sentence in Turkish that tells the user what happened and what to do, and
// the raw detail (a path, a system or server message) for whoever supports the shop.
struct Failure {
    QString reason;
    QString detail;
};

// A value, or the failure that stands in its place: what reading and writing the settings files, opening
// the server connection, the backup folder's listing and tidying, and the run history return. The ODBC
// wrapper beneath them reports with a bool and the server's messages, and a backup run with BackupResult.
template <typename T> class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::move(value)) {}
    Result(Failure failure) : state_(std::move(failure)) {}

    bool ok() const { return std::holds_alternative<T>(state_); }
    explicit operator bool() const { return ok(); }
    const T &value() const { return std::get<T>(state_); }
    const T *operator->() const { return &value(); }
    const Failure &failure() const { return std::get<Failure>(state_); }

private:
    std::variant<T, Failure> state_;
};

// The result of an operation that has nothing to hand back.
struct Done {};
using Outcome = Result<Done>;
