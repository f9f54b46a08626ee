// Must not compile: TLeaf derives from TMiddle but names TTop as its base.
#include "core/typinfo.h"

class TTop : public tavelo::TObject {
  TAVELO_CLASS(TTop, tavelo::TObject)
};
class TMiddle : public TTop {
  TAVELO_CLASS(TMiddle, TTop)
};
class TLeaf : public TMiddle {
  TAVELO_CLASS(TLeaf, TTop)
};
TAVELO_CLASS_IMPL(TTop)
TAVELO_CLASS_IMPL(TMiddle)
TAVELO_CLASS_IMPL(TLeaf)
