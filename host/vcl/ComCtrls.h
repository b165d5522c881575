// Wrappers of two small native controls: TScrollBar over the "SCROLLBAR" class and TUpDown
// over "msctls_updown32".
#pragma once
#include "host/vcl/Controls.h"

namespace vcl {

enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
constexpr TEnumNames EnumNames(TScrollCode) {
  return {u"TScrollCode",
          u"scLineUp scLineDown scPageUp scPageDown scPosition scTrack scTop scBottom scEndScroll"};
}
using TScrollEvent = TEvent<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

// A stand-alone scroll bar. Min .. Max with a PageSize; arrows move by SmallChange, the track
// by LargeChange. OnScroll may change the position a step goes to; OnChange follows every
// change of Position.
class TScrollBar : public TWinControl {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TScrollBar(TComponent* owner);

  TScrollBarKind Kind() const { return FKind; }
  void SetKind(TScrollBarKind v);
  int Min() const { return FMin; }
  void SetMin(int v) { SetParams(FPosition, v, FMax); }
  int Max() const { return FMax; }
  void SetMax(int v) { SetParams(FPosition, FMin, v); }
  int Position() const { return FPosition; }
  void SetPosition(int v) { SetParams(v, FMin, FMax); }
  int PageSize() const { return FPageSize; }
  void SetPageSize(int v);
  int SmallChange() const { return FSmallChange; }
  void SetSmallChange(int v) { FSmallChange = v; }
  int LargeChange() const { return FLargeChange; }
  void SetLargeChange(int v) { FLargeChange = v; }
  // Min above Max raises EInvalidOperation naming both; the position is kept in the range.
  void SetParams(int position, int min, int max);

  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& e) { FOnChange = e; }
  const TScrollEvent& OnScroll() const { return FOnScroll; }
  void SetOnScroll(const TScrollEvent& e) { FOnScroll = e; }

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  virtual void Change();
  virtual void Scroll(TScrollCode code, int& pos);

 private:
  void UpdateScrollInfo();
  TScrollBarKind FKind = sbHorizontal;
  int FMin = 0, FMax = 100, FPosition = 0, FPageSize = 0;
  int FSmallChange = 1, FLargeChange = 1;
  TNotifyEvent FOnChange;
  TScrollEvent FOnScroll;
};

enum TUDAlignButton { udLeft, udRight };
enum TUDOrientation { udHorizontal, udVertical };
enum TUDBtnType { btNext, btPrev };
constexpr TEnumNames EnumNames(TUDAlignButton) { return {u"TUDAlignButton", u"udLeft udRight"}; }
constexpr TEnumNames EnumNames(TUDOrientation) {
  return {u"TUDOrientation", u"udHorizontal udVertical"};
}
using TUDClickEvent = TEvent<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = TEvent<void(TObject* Sender, bool& AllowChange)>;

// Up and down arrows stepping Position through Min .. Max by Increment; an Associate control
// shows the position and takes the arrow keys.
class TCustomUpDown : public TWinControl {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TCustomUpDown(TComponent* owner);

  int Min() const { return FMin; }
  void SetMin(int v);
  int Max() const { return FMax; }
  void SetMax(int v);
  // The position; read from the window (and so from the associate's text) when it exists.
  int Position() const;
  void SetPosition(int v);
  int Increment() const { return FIncrement; }
  void SetIncrement(int v);
  TWinControl* Associate() const { return FAssociate; }
  void SetAssociate(TWinControl* v);
  TUDAlignButton AlignButton() const { return FAlignButton; }
  void SetAlignButton(TUDAlignButton v);
  bool ArrowKeys() const { return FArrowKeys; }
  void SetArrowKeys(bool v);
  TUDOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TUDOrientation v);
  bool Wrap() const { return FWrap; }
  void SetWrap(bool v);
  bool Thousands() const { return FThousands; }
  void SetThousands(bool v);

  const TUDClickEvent& OnClick() const { return FOnClick; }
  void SetOnClick(const TUDClickEvent& e) { FOnClick = e; }
  const TUDChangingEvent& OnChanging() const { return FOnChanging; }
  void SetOnChanging(const TUDChangingEvent& e) { FOnChanging = e; }

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual bool CanChange();
  virtual void Click(TUDBtnType button);

 private:
  int FMin = 0, FMax = 100, FPosition = 0, FIncrement = 1;
  TWinControl* FAssociate = nullptr;
  TUDAlignButton FAlignButton = udRight;
  bool FArrowKeys = true;
  TUDOrientation FOrientation = udVertical;
  bool FWrap = false;
  bool FThousands = true;
  TUDClickEvent FOnClick;
  TUDChangingEvent FOnChanging;
};

class TUpDown : public TCustomUpDown {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TUpDown(TComponent* owner) : TCustomUpDown(owner) {}
};

void RegisterComCtrlClasses();

}  // namespace vcl
