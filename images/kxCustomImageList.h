// The marker base class of the library's own image lists. Library controls that draw a
// disabled picture from a TkxCustomImageList ask the list itself for its disabled look (its
// Draw with enabled false) instead of fading the picture themselves.
#pragma once
#include "host/graphics/ImgList.h"

namespace kx {

class TkxCustomImageList : public vcl::TCustomImageList {
 public:
  static const vcl::TClass Class;
  const vcl::TClass* ClassType() const override { return &Class; }

  explicit TkxCustomImageList(vcl::TComponent* owner) : vcl::TCustomImageList(owner) {}
};

}  // namespace kx
