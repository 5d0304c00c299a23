// A component belongs to an owner, which frees it with itself.
#pragma once

#include <algorithm>
#include <vector>

#include "archives/Persistent.h"

namespace vx {

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* Owner) : Owner(Owner) {
    if (Owner != nullptr) Owner->Owned.push_back(this);
  }
  ~TComponent() override {
    // Owned components remove themselves from Owned as they go.
    while (!Owned.empty()) delete Owned.back();
    if (Owner != nullptr) {
      auto& siblings = Owner->Owned;
      siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
  }
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  std::string ClassName() const override { return "TComponent"; }
  TComponent* GetOwner() const { return Owner; }
  // True while the component's properties are being read from a stream.
  bool Reading = false;

 private:
  TComponent* Owner;
  std::vector<TComponent*> Owned;
};

}  // namespace vx
