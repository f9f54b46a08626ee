// The flat button control and the arrow button.
#include "actnman/actnbuttons.h"

#include "actions/customaction.h"
#include "controls/extctrls.h"
#include "core/messages.h"
#include "core/publish.h"

namespace tavelo {

namespace {

bool IsVerticalBar(const TCustomActionBar* bar) {
  return bar && (bar->Orientation() == boTopToBottom || bar->Orientation() == boBottomToTop);
}

TCustomAction* CustomActionOf(const TCustomActionControl* control) {
  TActionClientItem* item = control->ActionClient();
  return item ? DynamicCast<TCustomAction>(static_cast<TObject*>(item->Action())) : nullptr;
}

}  // namespace

// ---- TCustomButtonControl ----

TCustomButtonControl::TCustomButtonControl(TComponent* owner) : TCustomActionControl(owner) {
  // No capture and no click events from the framework: the button decides itself when a
  // release is a click.
  controlStyle_ = TControlStyle{csDoubleClicks};
}

void TCustomButtonControl::SetState(TButtonState value) {
  if (value == state_) return;
  state_ = value;
  Invalidate();
}

void TCustomButtonControl::SetFlat(bool value) {
  if (value == flat_) return;
  flat_ = value;
  Invalidate();
}

void TCustomButtonControl::SetDown(bool value) {
  if (value == down_) return;
  down_ = value;
  state_ = value ? bsExclusive : bsUp;
  Invalidate();
}

void TCustomButtonControl::SeparatorSize() {
  if (IsVerticalBar(ActionBar()))
    SetBounds(Left(), Top(), Width(), 6);
  else
    SetBounds(Left(), Top(), 8, Height());
}

void TCustomButtonControl::MeasureBounds() {
  if (!ActionClient()) return;
  if (IsSeparator()) {
    SeparatorSize();
    return;
  }
  TCustomActionControl::MeasureBounds();
  SetBounds(Left(), Top(), Width() + 1, Height());
}

void TCustomButtonControl::SetActionClient(TActionClientItem* value) {
  bool wasEnabled = Enabled();
  TCustomActionControl::SetActionClient(value);
  SetEnabled(wasEnabled && ActionClient() && !IsSeparator());
}

void TCustomButtonControl::Loaded() {
  TCustomActionControl::Loaded();
  if (Action()) ApplyActionToClient(true);
}

void TCustomButtonControl::SetSelected(bool value) {
  TCustomActionControl::SetSelected(value);
  state_ = value ? bsDown : bsUp;
  mouseInControl_ = false;
}

void TCustomButtonControl::MouseEnter() {
  if (!flat_ || mouseInControl_ || !Enabled() || GetCaptureControl()) return;
  mouseInControl_ = true;
  Invalidate();
}

void TCustomButtonControl::MouseLeave() {
  if (!flat_ || !mouseInControl_ || !Enabled()) return;
  mouseInControl_ = false;
  if (!IsChecked()) state_ = bsUp;
  dragging_ = false;
  Invalidate();
}

void TCustomButtonControl::UpdateTracking() {
  if (!flat_ || !Enabled() || !Parent() || !Parent()->HandleAllocated()) return;
  POINT cursor;
  if (!GetCursorPos(&cursor)) return;
  TPoint local = ScreenToClient(cursor);
  TRect client = ClientRect();
  bool inside = PtInRect(&client, local) && WindowFromPoint(cursor) == Parent()->Handle();
  if (inside != mouseInControl_) {
    mouseInControl_ = inside;
    Invalidate();
  }
}

void TCustomButtonControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && Enabled()) {
    if (shift.Contains(ssDouble) && down_) DblClick();
    if (!down_) state_ = bsDown;
    dragging_ = true;
    Invalidate();
  }
  TCustomActionControl::MouseDown(button, shift, x, y);
}

void TCustomButtonControl::MouseMove(TShiftState shift, int x, int y) {
  TCustomActionControl::MouseMove(shift, x, y);
  if (!dragging_) return;
  TRect client = ClientRect();
  TButtonState shown;
  if (PtInRect(&client, Point(x, y)))
    shown = down_ ? bsExclusive : bsDown;
  else
    shown = down_ ? bsExclusive : bsUp;
  SetState(shown);
}

void TCustomButtonControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomActionControl::MouseUp(button, shift, x, y);
  if (button != mbLeft || !dragging_) return;
  dragging_ = false;
  TRect client = ClientRect();
  bool inside = PtInRect(&client, Point(x, y));
  TCustomAction* action = CustomActionOf(this);
  if (action && (action->GroupIndex() == 0 || (action->AutoCheck() && action->Checked()))) {
    state_ = bsUp;
    mouseInControl_ = false;
    if (inside) Invalidate();
  } else if (inside) {
    bool down = !down_;
    if (down && !IsInGroup()) down = false;  // only a grouped button stays down
    if (!down && down_ && !allowAllUp_) down = true;
    down_ = down;
    state_ = down ? bsExclusive : bsUp;
    if (down) Invalidate();
  } else {
    state_ = down_ ? bsExclusive : bsUp;
    Invalidate();
  }
  if (inside) {
    Click();
    UpdateTracking();
  }
}

bool TCustomButtonControl::ShowsPressed() const {
  return !ComponentState().Contains(csDesigning) && (state_ == bsDown || IsChecked());
}

void TCustomButtonControl::Paint() {
  Canvas()->Font()->Assign(Font());
  TCustomActionControl::Paint();
  bool customizing = ActionBar() && ActionBar()->InCustomizeMode();
  if (!IsSeparator() && !customizing) PaintFrame(ClientRect(), IsChecked() || state_ == bsDown);
}

void TCustomButtonControl::PaintBackground(const TRect& rect) {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetStyle(Transparent() ? bsClear : bsSolid);
  if (IsChecked() && !mouseInControl_) SetCheckeredBrush(canvas, Color(), HighlightColorOf(Color()));
  canvas->FillRect(rect);
}

void TCustomButtonControl::PaintImage(TPoint position) {
  if (ShowsPressed()) {
    ++position.x;
    ++position.y;
  }
  TCustomActionControl::PaintImage(position);
}

void TCustomButtonControl::PaintText(TRect& rect, std::uint32_t flags, const String& text) {
  TRect r = rect;
  if (ShowsPressed()) OffsetRect(&r, 1, 1);
  bool designing = ComponentState().Contains(csDesigning);
  if (Enabled() || designing) {
    TCustomActionControl::PaintText(r, flags, text);
    return;
  }
  TCanvas* canvas = Canvas();
  bool face = Color() == clBtnFace;
  canvas->Brush()->SetStyle(bsClear);
  if (!Selected()) {
    TRect embossed = r;
    OffsetRect(&embossed, 1, 1);
    canvas->Font()->SetColor(face ? clBtnHighlight : HighlightColorOf(Color()));
    TCustomActionControl::PaintText(embossed, flags, text);
  }
  canvas->Font()->SetColor(face ? clBtnShadow : ShadowColorOf(Color()));
  TCustomActionControl::PaintText(r, flags, text);
}

void TCustomButtonControl::PaintFrame(const TRect& rect, bool down) {
  if (!Enabled()) return;
  if (flat_ && !down && !mouseInControl_ && !IsChecked()) return;
  const TColor colors[2] = {HighlightColorOf(Color()), ShadowColorOf(Color())};
  const int d = down ? 1 : 0;
  TCanvas* canvas = Canvas();
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetColor(colors[d]);
  canvas->MoveTo(rect.right - (1 - d), rect.top);
  canvas->LineTo(rect.left, rect.top);
  canvas->LineTo(rect.left, rect.bottom - (1 - d));
  canvas->Pen()->SetColor(colors[1 - d]);
  canvas->MoveTo(rect.right - 1, rect.top - d);
  canvas->LineTo(rect.right - 1, rect.bottom - 1);
  canvas->LineTo(rect.left + d, rect.bottom - 1);
}

void TCustomButtonControl::PaintFocusFrame(const TRect& rect) {
  TRect r = rect;
  OffsetRect(&r, 1, 1);
  InflateRect(&r, -1, -1);
  TCustomActionControl::PaintFocusFrame(r);
}

void TCustomButtonControl::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case FM_MOUSE_ENTER:
      TCustomActionControl::Dispatch(message);
      MouseEnter();
      break;
    case FM_MOUSE_LEAVE:
      TCustomActionControl::Dispatch(message);
      MouseLeave();
      break;
    case FM_ENABLED_CHANGED:
      TCustomActionControl::Dispatch(message);
      UpdateTracking();
      Invalidate();
      break;
    case FM_TEXT_CHANGED:
      if (IsSeparator()) {
        SeparatorSize();
        break;
      }
      TCustomActionControl::Dispatch(message);
      break;
    default:
      TCustomActionControl::Dispatch(message);
  }
}

// ---- TCustomUtilityButton ----

TCustomUtilityButton::TCustomUtilityButton(TComponent* owner)
    : TCustomButtonControl(owner), repeatTimer_(std::make_unique<TTimer>(nullptr)) {
  repeatTimer_->SetEnabled(false);
  repeatTimer_->SetInterval(750);
  repeatTimer_->SetOnTimer(TNotifyEvent::Bind<&TCustomUtilityButton::RepeatTick>(this));
}

TCustomUtilityButton::~TCustomUtilityButton() { repeatTimer_->SetEnabled(false); }

void TCustomUtilityButton::SetAutoScroll(bool value) {
  if (value == autoScroll_) return;
  autoScroll_ = value;
  if (!value) repeatTimer_->SetEnabled(false);
}

void TCustomUtilityButton::SetArrowSize(int value) {
  if (value == arrowSize_) return;
  arrowSize_ = value;
  Invalidate();
}

void TCustomUtilityButton::SetArrowType(TArrowType value) {
  if (value == arrowType_) return;
  arrowType_ = value;
  Invalidate();
}

void TCustomUtilityButton::SetDirection(TScrollDirection value) {
  if (value == direction_) return;
  direction_ = value;
  Invalidate();
}

void TCustomUtilityButton::Click() {
  if (OnClick()) OnClick()(this);
}

void TCustomUtilityButton::MouseEnter() {
  TCustomButtonControl::MouseEnter();
  if (autoScroll_) {
    repeatTimer_->SetInterval(750);
    repeatTimer_->SetEnabled(true);
  }
}

void TCustomUtilityButton::MouseLeave() {
  TCustomButtonControl::MouseLeave();
  if (autoScroll_) repeatTimer_->SetEnabled(false);
}

void TCustomUtilityButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) repeatTimer_->SetEnabled(false);
  TCustomButtonControl::MouseDown(button, shift, x, y);
}

void TCustomUtilityButton::RepeatTick(TObject*) {
  repeatTimer_->SetEnabled(false);
  repeatTimer_->SetInterval(repeatRate_);
  repeatTimer_->SetEnabled(true);
  Click();
}

void TCustomUtilityButton::PaintChevrons(TPoint origin) {
  const int s = arrowSize_;
  TCanvas* canvas = Canvas();
  // Along the arrow's axis: the step from one stroke to the next.
  int dx = 0, dy = 0;
  switch (direction_) {
    case sdLeft: dx = -1; break;
    case sdRight: dx = 1; break;
    case sdUp: dy = -1; break;
    case sdDown: dy = 1; break;
  }
  TPoint start = Point(origin.x - dx * s, origin.y - dy * s);
  static constexpr POINT kShapes[4][3] = {
      {{1, 0}, {0, 1}, {1, 2}},  // left
      {{0, 0}, {1, 1}, {0, 2}},  // right
      {{0, 1}, {1, 0}, {2, 1}},  // up
      {{0, 0}, {1, 1}, {2, 0}},  // down
  };
  canvas->Pen()->SetWidth(1);
  for (int arrow = 0; arrow < 2; ++arrow)
    for (int stroke = 0; stroke < 2; ++stroke) {
      int step = arrow * 4 + stroke;
      TPoint points[3];
      for (int i = 0; i < 3; ++i)
        points[i] = Point(start.x + kShapes[direction_][i].x * s + dx * step,
                          start.y + kShapes[direction_][i].y * s + dy * step);
      canvas->Polyline(points);
    }
}

void TCustomUtilityButton::PaintArrowShape(TPoint origin) {
  if (arrowType_ == atSolid)
    PaintArrow(Canvas(), direction_, origin, arrowSize_);
  else
    PaintChevrons(origin);
}

void TCustomUtilityButton::Paint() {
  TCustomButtonControl::Paint();
  Canvas()->Pen()->SetColor(clBtnText);
  Canvas()->Brush()->SetColor(clBtnText);
  int w = Width(), h = Height();
  if (direction_ == sdLeft || direction_ == sdRight)
    PaintArrowShape(Point(w / 2 - arrowSize_ / 2, h / 2 - arrowSize_));
  else
    PaintArrowShape(Point(w / 2 - arrowSize_, h / 2 - arrowSize_ / 2));
}

TAVELO_CLASS_IMPL(TCustomButtonControl)
TAVELO_CLASS_IMPL(TCustomUtilityButton)

}  // namespace tavelo
