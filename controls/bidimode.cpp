// Right-to-left reading, alignment and scroll bars, all subject to the system's locale.
#include "controls/controls.h"

#include "core/messages.h"

namespace tavelo {

namespace {
TSysLocale ReadSysLocale() {
  TSysLocale locale;
  locale.MiddleEast = GetSystemMetrics(SM_MIDEASTENABLED) != 0;
  return locale;
}
}  // namespace

TSysLocale& SysLocale() {
  static TSysLocale locale = ReadSysLocale();
  return locale;
}

// Read with the other start-up work, before any control asks.
static const bool sysLocaleRead = (SysLocale(), true);

void ChangeBiDiModeAlignment(TAlignment& alignment) {
  if (alignment == taLeftJustify)
    alignment = taRightJustify;
  else if (alignment == taRightJustify)
    alignment = taLeftJustify;
}

void TControl::SetBiDiMode(TBiDiMode value) {
  if (value == bidiMode_) {
    parentBiDiMode_ = false;
    return;
  }
  bidiMode_ = value;
  parentBiDiMode_ = false;
  Perform(FM_BIDIMODE_CHANGED, 0, 0);
}

void TControl::SetParentBiDiMode(bool value) {
  if (value == parentBiDiMode_) return;
  parentBiDiMode_ = value;
  if (value && parent_ && !ComponentState().Contains(csReading)) Perform(FM_PARENT_BIDIMODE_CHANGED, 0, 0);
}

void TControl::ParentBiDiModeChanged() {
  if (!parentBiDiMode_ || !parent_) return;
  SetBiDiMode(parent_->BiDiMode());
  parentBiDiMode_ = true;
}

bool TControl::UseRightToLeftReading() const { return SysLocale().MiddleEast && bidiMode_ != bdLeftToRight; }

bool TControl::UseRightToLeftAlignment() const { return SysLocale().MiddleEast && bidiMode_ == bdRightToLeft; }

bool TControl::UseRightToLeftScrollBar() const {
  return SysLocale().MiddleEast && (bidiMode_ == bdRightToLeft || bidiMode_ == bdRightToLeftNoAlign);
}

std::uint32_t TControl::DrawTextBiDiModeFlags(std::uint32_t flags) const {
  if (UseRightToLeftAlignment()) {
    if (flags & DT_RIGHT)
      flags &= ~static_cast<std::uint32_t>(DT_RIGHT);
    else if (!(flags & DT_CENTER))
      flags |= DT_RIGHT;
  }
  return flags | DrawTextBiDiModeFlagsReadingOnly();
}

std::uint32_t TControl::DrawTextBiDiModeFlagsReadingOnly() const {
  return UseRightToLeftReading() ? DT_RTLREADING : 0;
}

void TWinControl::AddBiDiModeExStyle(DWORD& exStyle) const {
  if (UseRightToLeftReading()) exStyle |= WS_EX_RTLREADING;
  if (UseRightToLeftScrollBar()) exStyle |= WS_EX_LEFTSCROLLBAR;
  if (UseRightToLeftAlignment() && ControlsAlignment() == taLeftJustify) exStyle |= WS_EX_RIGHT;
}

}  // namespace tavelo
