// What the control classes stream. TControl stores what every control has on every form: its
// place, its size, its cursor and its hint. The rest (Align, Anchors, Caption, Color,
// Constraints, Enabled, Font, the Parent... flags, Visible, TabOrder and so on) each control
// class publishes itself by naming the inherited accessors, so a class that does not use a
// property does not stream it.
#include "controls/controls.h"

#include "core/publish.h"

namespace tavelo {

// The bounds have no default: a control's constructor sets its own size, so a stored 0 must
// be read back as 0.
TAVELO_PUBLISH(TControl) {
  c.Property("Left", &Self::Left, &Self::SetLeft);
  c.Property("Top", &Self::Top, &Self::SetTop);
  c.Property("Width", &Self::Width, &Self::SetWidth);
  c.Property("Height", &Self::Height, &Self::SetHeight);
  c.Property("Cursor", &Self::Cursor, &Self::SetCursor).Default(crDefault);
  c.Property("Hint", &Self::Hint, &Self::SetHint);
}

TAVELO_PUBLISH(TSizeConstraints) {
  c.Property("MaxHeight", &Self::MaxHeight, &Self::SetMaxHeight).Default(0);
  c.Property("MaxWidth", &Self::MaxWidth, &Self::SetMaxWidth).Default(0);
  c.Property("MinHeight", &Self::MinHeight, &Self::SetMinHeight).Default(0);
  c.Property("MinWidth", &Self::MinWidth, &Self::SetMinWidth).Default(0);
}

// The children a description holds: those the root owns, in the parent's order.
void TWinControl::GetChildren(const TGetChildProc& proc, TComponent* root) {
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* control = Controls(i);
    if (control->Owner() == root) proc(control);
  }
}

}  // namespace tavelo
