// The tree of client items an action manager keeps for its bars: one item per entry of a
// menu or tool bar, linked to its action, with its own usage record and sub-items.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "actions/customaction.h"
#include "core/collection.h"
#include "core/set.h"
#include "graphics/graphicsobjects.h"
#include "graphics/shortcuts.h"

namespace tavelo {

class TActionClient;
class TActionClientItem;
class TActionClients;
class TActionClientsCollection;
class TCustomActionBar;
class TCustomActionControl;
class TCustomActionManager;
class TPicture;

enum TChangesAllowed { caModify, caMove, caDelete };
TAVELO_ENUM(TChangesAllowed, caModify, caMove, caDelete)
using TChangesAllowedSet = TSet<TChangesAllowed>;

enum TBackgroundLayout { blNormal, blStretch, blTile, blLeftBanner, blRightBanner };
TAVELO_ENUM(TBackgroundLayout, blNormal, blStretch, blTile, blLeftBanner, blRightBanner)

enum TCaptionOptions { coNone, coSelective, coAll };
TAVELO_ENUM(TCaptionOptions, coNone, coSelective, coAll)

// Where an item control's image sits beside its caption.
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
TAVELO_ENUM(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom)

// ---- Accelerators: the character after the last single "&" ("&&" is a literal ampersand).
// The accelerator character, 0 when the caption has none.
char GetHotKeyChar(const String& caption);
// The caption without its accelerator marks ("&&" leaves one "&").
String StripHotKey(const String& caption);
// Whether key is the caption's accelerator, ignoring case.
bool IsHotKeyMatch(char key, const String& caption);

// The common base of a manager's bar collection and of every item list: owned by the manager.
class TActionClientsCollection : public TOwnedCollection {
  TAVELO_CLASS(TActionClientsCollection, TOwnedCollection)
public:
  TActionClientsCollection(TPersistent* owner, TClass itemClass);

  bool Customizable() const { return customizable_; }
  void SetCustomizable(bool value) { customizable_ = value; }
  // The client item that owns this list; none for the bar collection.
  TActionClient* ParentItem() const { return parentItem_; }
  void SetParentItem(TActionClient* value) { parentItem_ = value; }
  // The owner as an action manager; EInvalidCast when the owner is something else.
  TCustomActionManager* ActionManager() const;
  TActionClient* ActionClient(int index) const;

private:
  bool customizable_ = true;
  TActionClient* parentItem_ = nullptr;
};

// One entry of the tree: a bar item or a client item.
class TActionClient : public TCollectionItem {
  TAVELO_CLASS(TActionClient, TCollectionItem)
public:
  explicit TActionClient(TCollection* collection);
  ~TActionClient() override;

  TChangesAllowedSet ChangesAllowed() const { return changesAllowed_; }
  virtual void SetChangesAllowed(TChangesAllowedSet value);
  TColor Color() const { return color_; }
  virtual void SetColor(TColor value);
  // Created on first use.
  TActionClients* ContextItems() const;
  void SetContextItems(TActionClients* value);
  bool HasContextItems() const;
  TPicture* Background() const;
  void SetBackground(TPicture* value);
  // A background that holds a non-empty graphic.
  bool HasBackground() const;
  TBackgroundLayout BackgroundLayout() const { return backgroundLayout_; }
  void SetBackgroundLayout(TBackgroundLayout value);
  // Created on first use, of the classes the manager names.
  TActionClients* Items() const;
  // Copies; none frees the items.
  void SetItems(TActionClients* value);
  bool HasItems() const;
  bool Visible() const { return visible_; }
  virtual void SetVisible(bool value);

  // The bar bound to this client (bar items only).
  TCustomActionBar* ActionBar() const { return actionBar_; }
  // The bar (a popup menu) that currently shows this client's Items.
  TCustomActionBar* ChildBar() const { return childBar_; }
  void SetChildBar(TCustomActionBar* value) { childBar_ = value; }
  // The list this client belongs to, and its manager.
  TActionClientsCollection* OwningCollection() const;
  TCustomActionManager* ActionManager() const;
  // The client item owning the list this client is in; none for bar items and first-level items.
  TActionClient* ParentItem() const;

  // A client item re-measures its control; a bar item has its bar realign.
  virtual void Refresh();

  void Assign(TPersistent* source) override;
  bool IsItemsStored() const { return HasItems(); }
  bool IsContextItemsStored() const { return HasContextItems(); }
  bool IsBackgroundStored() const { return HasBackground(); }

protected:
  // Cleared by the manager when the bar goes away (no setter: the bar is gone).
  friend class TCustomActionManager;
  friend class TCustomActionBar;
  TCustomActionBar* actionBar_ = nullptr;
  TCustomActionBar* childBar_ = nullptr;
  String caption_;
  bool visible_ = true;
  TColor color_ = clDefault;

private:
  void BackgroundChanged(TObject* sender);
  // Frees the held list for nullptr; otherwise copies `value` into it, made first through `list`.
  void AssignList(std::unique_ptr<TActionClients>& held, TActionClients* (TActionClient::*list)() const,
                  TActionClients* value);
  TChangesAllowedSet changesAllowed_{caModify, caMove, caDelete};
  mutable std::unique_ptr<TActionClients> contextItems_;
  mutable std::unique_ptr<TPicture> background_;
  TBackgroundLayout backgroundLayout_ = blNormal;
  mutable std::unique_ptr<TActionClients> items_;
};

class TActionClientLink;

// An entry shown by an item control.
class TActionClientItem : public TActionClient {
  TAVELO_CLASS(TActionClientItem, TActionClient)
public:
  explicit TActionClientItem(TCollection* collection);
  ~TActionClientItem() override;

  TContainedAction* Action() const;
  void SetAction(TContainedAction* value);
  const String& Caption() const { return caption_; }
  void SetCaption(const String& value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  int MergeIndex() const { return mergeIndex_; }
  void SetMergeIndex(int value);
  int LastSession() const { return lastSession_; }
  void SetLastSession(int value);
  bool ShowCaption() const { return showCaption_; }
  void SetShowCaption(bool value);
  bool ShowGlyph() const { return showGlyph_; }
  void SetShowGlyph(bool value);
  bool ShowShortCut() const { return showShortCut_; }
  void SetShowShortCut(bool value);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut value);
  int UsageCount() const { return usageCount_; }
  void SetUsageCount(int value);

  const String& ShortCutCaption() const { return shortCutCaption_; }
  TActionClientLink* ActionLink() const { return actionLink_.get(); }
  TActionClients* ActionClients() const;
  // The control showing this item, owned by the item; setting frees a previous one.
  TCustomActionControl* Control() const { return control_; }
  void SetControl(TCustomActionControl* value);
  bool Separator() const { return isSeparatorItem_; }
  // The item shows an image of its action's list.
  bool HasGlyph() const;
  // The unused state must be recomputed.
  bool CheckUnused() const { return checkUnused_; }
  void SetCheckUnused(bool value) { checkUnused_ = value; }
  bool Unused() const { return unused_; }

  void SetVisible(bool value) override;
  void SetColor(TColor value) override;
  void SetChangesAllowed(TChangesAllowedSet value) override;
  void SetCollection(TCollection* value) override;
  void SetIndex(int value) override;
  void Refresh() override;
  String DisplayName() const override;
  void Assign(TPersistent* source) override;
  bool IsCaptionStored() const;

  // Copies the action's values; with checkDefaults only over the item's defaults.
  virtual void ActionChange(TObject* sender, bool checkDefaults);

private:
  friend class TActionClientLink;
  friend class TCustomActionControl;
  friend bool IsHiddenAsUnused(TActionClientItem* item);
  friend bool AssignHotKeyLetters(TActionClients* list);
  void DoActionChange(TObject* sender);
  void FreeControl();

  std::unique_ptr<TActionClientLink> actionLink_;
  TCustomActionControl* control_ = nullptr;
  int imageIndex_ = -1;
  int mergeIndex_ = 0;
  int lastSession_ = 0;
  bool showCaption_ = true;
  bool showGlyph_ = true;
  bool showShortCut_ = true;
  TShortCut shortCut_ = 0;
  int usageCount_ = 0;
  bool isSeparatorItem_ = false;
  String shortCutCaption_;
  bool checkUnused_ = true;
  bool unused_ = false;
};

// A list of client items: the Items of a bar item or of a client item.
class TActionClients : public TActionClientsCollection {
  TAVELO_CLASS(TActionClients, TActionClientsCollection)
public:
  // Made by the manager from its class: the item class is the manager's.
  using TConstructorArg = TPersistent;
  explicit TActionClients(TPersistent* owner);
  TActionClients(TPersistent* owner, TClass itemClass);

  TActionClientItem* ActionClients(int index) const { return static_cast<TActionClientItem*>(Items(index)); }
  TActionClientItem* Add() { return static_cast<TActionClientItem*>(TCollection::Add()); }
  int VisibleCount() const;

  bool AutoHotKeys() const { return autoHotKeys_; }
  void SetAutoHotKeys(bool value);
  TCaptionOptions CaptionOptions() const { return captionOptions_; }
  void SetCaptionOptions(TCaptionOptions value);
  bool HideUnused() const { return hideUnused_; }
  void SetHideUnused(bool value);
  bool SmallIcons() const { return smallIcons_; }
  void SetSmallIcons(bool value);

  void Assign(TPersistent* source) override;

protected:
  void Notify(TCollectionItem* item, TCollectionNotification action) override;

private:
  bool autoHotKeys_ = true;
  TCaptionOptions captionOptions_ = coSelective;
  bool hideUnused_ = true;
  bool smallIcons_ = true;
};

// An item's binding to its action: a change reaches the item while the item's value still
// follows the action's.
class TActionClientLink : public TActionLink {
  TAVELO_CLASS(TActionClientLink, TActionLink)
public:
  using TConstructorArg = TObject;
  explicit TActionClientLink(TObject* client);
  TActionClientItem* Client() const { return client_; }

protected:
  void BindClient(TObject* client) override;
  bool ClientFollowsCaption() override;
  bool ClientFollowsChecked() override;
  bool ClientFollowsEnabled() override;
  bool ClientFollowsHint() override;
  bool ClientFollowsImageIndex() override;
  bool ClientFollowsOnExecute() override;
  bool ClientFollowsShortCut() override;
  bool ClientFollowsVisible() override;
  void PushCaption(const String& value) override;
  void PushChecked(bool value) override;
  void PushEnabled(bool value) override;
  void PushHint(const String& value) override;
  void PushImageIndex(TImageIndex value) override;
  void PushOnExecute(TNotifyEvent value) override;
  void PushShortCut(TShortCut value) override;
  void PushVisible(bool value) override;

private:
  TActionClientItem* client_ = nullptr;
};

// ---- Operations on the tree.
using TActionClientProc = std::function<void(TActionClient* client)>;
// Depth first: the step (or, without one, a refresh) on each item, then its sub-items; after
// the sub-items of an item bound to a bar, that bar recomputes its size.
void VisitAllItems(TActionClientsCollection* list, const TActionClientProc& step = nullptr);
// Records one use of the item and of each client item above it.
void NoteItemUse(TActionClientItem* item);
// Whether the item is hidden because it has not been used lately (cached).
bool IsHiddenAsUnused(TActionClientItem* item);
// Whether a child is visible and in use, looking through hidden or unused children.
bool HasVisibleUsedChild(TActionClientItem* item);
// Gives the visible items of the list distinct accelerators; whether any item was processed.
bool AssignHotKeyLetters(TActionClients* list);

}  // namespace tavelo
