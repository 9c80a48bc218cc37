// A value, or a one-line message saying why there is none.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace korvansim {

template <typename T>
class Result {
public:
    static Result Ok(T value) {
        Result result;
        result.value_ = std::move(value);
        return result;
    }
    static Result Fail(std::string error) {
        Result result;
        result.error_ = std::move(error);
        return result;
    }

    explicit operator bool() const { return value_.has_value(); }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    const std::string& Error() const { return error_; }

private:
    std::optional<T> value_;
    std::string error_;
};

}  // namespace korvansim
