// Keeps a variable's value for a scope and puts it back when the scope ends, on the error
// path too: the reader and the writer move through the tree by changing their owner, parent,
// ancestor or property path for a nested part, and must find them as they were afterwards.
#pragma once

#include <utility>

namespace tavelo {

template <class T> class TSavedValue {
public:
  explicit TSavedValue(T& variable) : variable_(variable), saved_(variable) {}
  // Saves the variable, then gives it value until the scope ends.
  TSavedValue(T& variable, T value) : variable_(variable), saved_(std::move(variable)) { variable_ = std::move(value); }
  ~TSavedValue() { variable_ = std::move(saved_); }
  TSavedValue(const TSavedValue&) = delete;
  TSavedValue& operator=(const TSavedValue&) = delete;

private:
  T& variable_;
  T saved_;
};

}  // namespace tavelo
