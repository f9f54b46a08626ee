// Brackets a scope with BeginUpdate and EndUpdate, the end also on the error path; for any
// object with that pair (string lists, collections).
#pragma once

namespace tavelo {

template <class T> class TUpdateBracket {
public:
  explicit TUpdateBracket(T& target) : target_(target) { target_.BeginUpdate(); }
  ~TUpdateBracket() { target_.EndUpdate(); }
  TUpdateBracket(const TUpdateBracket&) = delete;
  TUpdateBracket& operator=(const TUpdateBracket&) = delete;

private:
  T& target_;
};

}  // namespace tavelo
