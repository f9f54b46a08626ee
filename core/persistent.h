// TPersistent: an object that can be copied from a compatible one and that takes part in
// component streams.
#pragma once

#include "core/object.h"

namespace tavelo {

class TFiler;

class TPersistent : public TObject {
  TAVELO_CLASS(TPersistent, TObject)
public:
  TPersistent() = default;
  TPersistent(const TPersistent&) = default;
  TPersistent& operator=(const TPersistent&) = default;
  // Drops the pending stream references that would set a property of this object.
  ~TPersistent() override;

  // Copies what this class understands of source; anything else goes to source's AssignTo.
  virtual void Assign(TPersistent* source);
  // The object that owns this one in name paths, or null.
  virtual TPersistent* GetOwner() const { return nullptr; }
  // The class name, behind the owner's path when the owner has one.
  virtual String GetNamePath() const;

protected:
  virtual void AssignTo(TPersistent* dest) const;
  // Declares properties that are streamed without being published.
  virtual void DefineProperties(TFiler& filer);
  // Raises SAssignError for source (or "nil") into this class.
  [[noreturn]] void AssignError(const TPersistent* source) const;

  friend class TFiler;
};

}  // namespace tavelo
