// The persistent-object copy pair: Dest.Assign(Source) asks Source to copy
// itself into Dest; a class that does not know the destination refuses.
#pragma once

#include <string>

#include "archives/Exceptions.h"

namespace vx {

// The root of the framework's class tree.
class TObject {
 public:
  virtual ~TObject() = default;
};

class TPersistent : public TObject {
 public:
  virtual std::string ClassName() const { return "TPersistent"; }

  virtual void Assign(const TPersistent* Source) {
    if (Source != nullptr)
      Source->AssignTo(this);
    else
      AssignError(nullptr);
  }

 protected:
  virtual void AssignTo(TPersistent* Dest) const { Dest->AssignError(this); }

  void AssignError(const TPersistent* Source) const {
    const std::string sourceName = Source ? Source->ClassName() : "nil";
    throw EConvertError("Cannot assign a " + sourceName + " to a " + ClassName());
  }
};

}  // namespace vx
