// Scaling a control tree made for another text height.
#include "controls/controls.h"

#include "controls/controlsimpl.h"

namespace tavelo {

using namespace controls_impl;

void TControl::ChangeScale(int m, int d) {
  if (m != d && d != 0) {
    // While loading only what the description set is scaled; otherwise everything.
    TScalingFlags flags = ComponentState().Contains(csLoading)
                              ? scalingFlags_
                              : TScalingFlags{sfLeft, sfTop, sfWidth, sfHeight, sfFont};
    int x = flags.Contains(sfLeft) ? MulDiv(left_, m, d) : left_;
    int y = flags.Contains(sfTop) ? MulDiv(top_, m, d) : top_;
    int w = width_, h = height_;
    if (flags.Contains(sfWidth) && !controlStyle_.Contains(csFixedWidth))
      w = flags.Contains(sfLeft) ? MulDiv(left_ + width_, m, d) - x : MulDiv(width_, m, d);
    if (flags.Contains(sfHeight) && !controlStyle_.Contains(csFixedHeight))
      h = flags.Contains(sfTop) ? MulDiv(top_ + height_, m, d) - y : MulDiv(height_, m, d);
    SetBounds(x, y, w, h);
    if (flags.Contains(sfLeft) || flags.Contains(sfWidth))
      originalParentSize_.x = MulDiv(originalParentSize_.x, m, d);
    if (flags.Contains(sfTop) || flags.Contains(sfHeight))
      originalParentSize_.y = MulDiv(originalParentSize_.y, m, d);
    if (flags.Contains(sfFont) && !parentFont_) font_->SetSize(MulDiv(font_->Size(), m, d));
  }
  scalingFlags_ = TScalingFlags{};
}

void TWinControl::ScaleControls(int m, int d) {
  DisableAlign();
  try {
    for (int i = 0; i < ControlCount(); ++i) Controls(i)->ChangeScale(m, d);
  } catch (...) {
    EnableAlign();
    throw;
  }
  EnableAlign();
}

void TWinControl::ChangeScale(int m, int d) {
  DisableAlign();
  try {
    ScaleControls(m, d);
    if (m != d && d != 0 && ComponentState().Contains(csReading) && ScalingFlags().Contains(sfDesignSize))
      designSize_ = Point(MulDiv(designSize_.x, m, d), MulDiv(designSize_.y, m, d));
    TControl::ChangeScale(m, d);
  } catch (...) {
    EnableAlign();
    throw;
  }
  EnableAlign();
}

}  // namespace tavelo
