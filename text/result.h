// What an operation that can fail gives back above the HID host: the value
// it produced or, when it failed, the reason, worded for the operator. An
// empty reason means success; a failure always has one.
//
//     Result<std::string> ReadSomething(...)
//     {
//         if (...)
//             return Failure{"Cannot read \"" + path + "\": " + why};
//         return bytes;
//     }
//
//     const Result<std::string> read = ReadSomething(...);
//     if (!read.Succeeded())
//         messageBox.Show(read.m_reason);
#pragma once

#include <string>
#include <utility>

namespace corvalt {

// Why an operation failed; it becomes the Result of any operation.
struct Failure {
    std::string m_reason;
};

template <typename Value = void>
struct Result {
    Result(Value value) : m_value(std::move(value)) {}
    Result(Failure failure) : m_reason(std::move(failure.m_reason)) {}

    bool Succeeded() const { return m_reason.empty(); }

    Value m_value{};       // what the operation produced; empty on failure
    std::string m_reason;  // why it failed; empty when it succeeded
};

// An operation that produces nothing but may fail.
template <>
struct Result<void> {
    Result() = default;
    Result(Failure failure) : m_reason(std::move(failure.m_reason)) {}

    bool Succeeded() const { return m_reason.empty(); }

    std::string m_reason;
};

}  // namespace corvalt
