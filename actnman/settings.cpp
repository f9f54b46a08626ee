// The manager's settings file: the manager itself as the root of a component stream, read
// after loading and written once when the application ends.
#include <memory>

#include "actnman/actnconsts.h"
#include "actnman/actnman.h"
#include "core/exceptions.h"
#include "core/streams.h"
#include "core/system.h"
#include "dialogs/msgdlg.h"
#include "streaming/namespacelock.h"
#include "streaming/reader.h"
#include "streaming/writer.h"

namespace tavelo {

namespace {

// Restores a flag on every way out.
class TFlagScope {
public:
  explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~TFlagScope() { flag_ = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

private:
  bool& flag_;
};

}  // namespace

void TCustomActionManager::ReadSettingsFile(const String& path) {
  bool failed = false;
  {
    // A file that cannot be opened is as unreadable as a corrupt one: the question, never a
    // failure that stops the window's loading. The file closes once, when this scope ends.
    std::unique_ptr<TFileStream> file;
    try {
      file = std::make_unique<TFileStream>(path, fmOpenRead | fmShareDenyWrite);
    } catch (const Exception&) {
      failed = true;
    }
    if (file) {
      // The file read names the manager's own path; the path in use stays.
      String fileName = fileName_;
      TFlagScope reading(readingSettings_);
      initialBars_.reset(static_cast<TActionBars*>(GetActionBarsClass()->Construct(this)));
      initialBars_->Assign(actionBars_.get());
      try {
        TMemoryStream memory;
        memory.CopyFrom(*file, 0);
        memory.SetPosition(0);
        // Our own loaded list: the window's loading may be walking its own right now.
        TLoadedListScope loaded;
        {
          TReader reader(memory, 4096);
          reader.ReadRootComponent(this);
        }
        for (TComponent* component : loaded.List()) component->Loaded();
      } catch (const Exception&) {
        ExcludeState(csLoading);
        ExcludeState(csReading);
        actionBars_->Assign(initialBars_.get());
        failed = true;
      }
      fileName_ = fileName;
    }
  }
  if (failed) {
    String text = Format(String(SSettingsLoadError) + "\r" + SSettingsDeleteQuestion, {path});
    if (ShowMessageDialog(text, DialogError, TDialogButtons{ButtonYes, ButtonNo}, 0) == ResultYes)
      sys::FileDelete(path);
  }
  BindAllBars(actionBars_.get());
}

void TCustomActionManager::WriteSettingsFile(const String& path) {
  SetState(asNormal);
  try {
    // The whole stream first, then a new file that takes the old one's place only once it
    // is complete: a failure leaves the previous settings as they were.
    TMemoryStream memory;
    WriteComponentToStream(memory, this);
    SaveFileSafely(path, [&memory](TStream& out) {
      out.WriteBuffer(memory.Memory(), static_cast<std::int32_t>(memory.Size()));
    });
  } catch (const Exception&) {
    ShowPlainMessage(SSettingsSaveError);
  }
}

}  // namespace tavelo
