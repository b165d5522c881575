// Styled painting of buttons: the element of each state in the themed styles, the classic
// frames with themes off, segments, spin buttons, drop-down buttons and check boxes.
#include "PaintTest.h"
#include "TestControls.h"
#include "draw/kxStyledPaintButtons.h"

using namespace vcl;
using namespace kx;
using namespace painttest;

namespace {

constexpr TkxsCtrlState kAll[] = {kxsNormal, kxsHot, kxsPressed, kxsFocused, kxsDisabled};

using TPaint = void (*)(TCanvas*, const TRect&, TkxsCtrlState, const TComponent*, double);

// Draws with `paint` and with the element straight through the services, and compares.
::testing::AssertionResult DrawsElement(TPaint paint, TkxsCtrlState state,
                                        TCustomStyleServices* s, const TThemedElementDetails& d,
                                        const TRect& r, double scale, int dpi,
                                        const TComponent* control = nullptr) {
  TTarget got(r.Right + 8, r.Bottom + 8, kBackdrop), want(r.Right + 8, r.Bottom + 8, kBackdrop);
  paint(got.Canvas(), r, state, control, scale);
  Element(want, s, d, r, dpi);
  if (Painted(want) == 0) return ::testing::AssertionFailure() << "the element draws nothing";
  return SameAs(got, want);
}

void Push(TCanvas* c, const TRect& r, TkxsCtrlState s, const TComponent* k, double f) {
  DrawPushButtonFace(c, r, s, k, false, f);
}
void Tool(TCanvas* c, const TRect& r, TkxsCtrlState s, const TComponent* k, double) {
  DrawToolButtonFace(c, r, s, k);
}

}  // namespace

class StyledButtons : public PaintTest {};

TEST_F(StyledButtons, PushFacesDrawTheElementOfEachStateAtTheDefaultDensity) {
  const TThemedButton expected[] = {tbPushButtonNormal, tbPushButtonHot, tbPushButtonPressed,
                                    tbPushButtonDefaulted, tbPushButtonDisabled};
  for (const char16_t* name : {u"Windows", u"Glow", u"Sky"}) {
    TCustomStyleServices* s = Use(name);
    for (int i = 0; i < 5; ++i)
      EXPECT_TRUE(DrawsElement(&Push, kAll[i], s, GetElementDetails(expected[i]),
                               TRect(4, 4, 84, 30), 2.0, 96))
          << ElementDetailsName(GetElementDetails(expected[i])) << " in " << StringToUtf8(name);
  }
}

TEST_F(StyledButtons, FocusRectangleOnlyForTheSystemStyle) {
  const TRect r(0, 0, 60, 24);
  Use(u"Windows");
  TTarget plain(60, 24, kBackdrop), focused(60, 24, kBackdrop);
  focused.Canvas()->Font()->SetColor(clBlack);
  DrawPushButtonFace(plain.Canvas(), r, kxsFocused, nullptr, false);
  DrawPushButtonFace(focused.Canvas(), r, kxsFocused, nullptr, true);
  // Dots in the font colour on the ring 3 pixels inside, every second pixel.
  EXPECT_EQ(focused.At(3, 3), 0xFF000000u);
  EXPECT_NE(focused.At(4, 3), 0xFF000000u);
  EXPECT_EQ(focused.At(5, 3), 0xFF000000u);
  int ring = 0;
  for (int x = 3; x < 57; ++x) ring += focused.At(x, 3) == 0xFF000000u;
  EXPECT_EQ(ring, 27);
  // Nothing else changed.
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 60; ++x) {
      if (x < 3 || x > 56 || y < 3 || y > 20) {
        EXPECT_EQ(focused.At(x, y), plain.At(x, y));
      }
    }

  // A custom style never gets the dotted rectangle.
  TCustomStyleServices* glow = Use(u"Glow");
  TTarget custom(60, 24, kBackdrop), element(60, 24, kBackdrop);
  DrawPushButtonFace(custom.Canvas(), r, kxsFocused, nullptr, true);
  Element(element, glow, GetElementDetails(tbPushButtonDefaulted), r);
  EXPECT_TRUE(SameAs(custom, element));
}

TEST_F(StyledButtons, ClassicPushFacesAreFrameControls) {
  UseClassic();
  for (TkxsCtrlState st : kAll) {
    TTarget got(50, 22, kBackdrop), want(50, 22, kBackdrop);
    DrawPushButtonFace(got.Canvas(), TRect(0, 0, 50, 22), st, nullptr, false);
    TRect r(0, 0, 50, 22);
    DrawFrameControl(want.Canvas()->Handle(), &r, DFC_BUTTON,
                     DFCS_BUTTONPUSH | (st == kxsPressed ? DFCS_PUSHED : 0));
    EXPECT_TRUE(SameAs(got, want)) << st;
  }
  // The classic focus rectangle is the canvas's own, 3 pixels inside.
  TTarget got(50, 22, kBackdrop), want(50, 22, kBackdrop);
  DrawPushButtonFace(got.Canvas(), TRect(0, 0, 50, 22), kxsFocused, nullptr, true);
  TRect r(0, 0, 50, 22);
  DrawFrameControl(want.Canvas()->Handle(), &r, DFC_BUTTON, DFCS_BUTTONPUSH);
  want.Canvas()->DrawFocusRect(TRect(3, 3, 47, 19));
  EXPECT_TRUE(SameAs(got, want));
}

TEST_F(StyledButtons, AControlWithItsOwnStyleDrawsInIt) {
  Use(u"Glow");
  drawtest::TGlowControl own(nullptr);
  own.SetStyleName(u"Sky");
  TCustomStyleServices* sky = TStyleManager::Style(u"Sky");
  EXPECT_TRUE(DrawsElement(&Push, kxsHot, sky, GetElementDetails(tbPushButtonHot),
                           TRect(2, 2, 70, 26), 1, 96, &own));
  // Empty style elements keep the system look while a custom style is active.
  drawtest::TGlowControl plain(nullptr);
  plain.SetStyleElements({});
  EXPECT_TRUE(DrawsElement(&Tool, kxsPressed, TStyleManager::SystemStyle(),
                           GetElementDetails(ttbButtonPressed), TRect(2, 2, 40, 26), 1, 96,
                           &plain));
}

TEST_F(StyledButtons, ToolFacesStyledAndClassic) {
  TCustomStyleServices* s = Use(u"Windows10");
  const TThemedToolBar expected[] = {ttbButtonNormal, ttbButtonHot, ttbButtonPressed,
                                     ttbButtonHot, ttbButtonDisabled};
  for (int i = 0; i < 5; ++i) {
    TTarget got(40, 30, kBackdrop), want(40, 30, kBackdrop);
    DrawToolButtonFace(got.Canvas(), TRect(2, 2, 38, 28), kAll[i], nullptr);
    Element(want, s, GetElementDetails(expected[i]), TRect(2, 2, 38, 28));
    EXPECT_TRUE(SameAs(got, want)) << i;
  }

  UseClassic();
  const std::uint32_t shadow = Opaque(clBtnShadow), light = Opaque(clBtnHighlight);
  TTarget pressed(20, 20, kBackdrop), hot(20, 20, kBackdrop), normal(20, 20, kBackdrop);
  DrawToolButtonFace(pressed.Canvas(), TRect(0, 0, 20, 20), kxsPressed, nullptr);
  DrawToolButtonFace(hot.Canvas(), TRect(0, 0, 20, 20), kxsHot, nullptr);
  DrawToolButtonFace(normal.Canvas(), TRect(0, 0, 20, 20), kxsNormal, nullptr);
  // Sunken: shadow top-left, highlight bottom-right; raised the other way round.
  EXPECT_EQ(pressed.At(0, 5), shadow);
  EXPECT_EQ(pressed.At(5, 0), shadow);
  EXPECT_EQ(pressed.At(19, 5), light);
  EXPECT_EQ(pressed.At(5, 19), light);
  EXPECT_EQ(pressed.At(5, 5), kBackdrop);
  EXPECT_EQ(hot.At(0, 5), light);
  EXPECT_EQ(hot.At(19, 5), shadow);
  EXPECT_EQ(Painted(normal), 0);

  // The framed variant puts a face-coloured ring outside.
  TTarget framed(20, 20, kBackdrop);
  DrawToolButtonFaceFramed(framed.Canvas(), TRect(0, 0, 20, 20), kxsPressed, nullptr);
  EXPECT_EQ(framed.At(0, 5), Opaque(clBtnFace));
  EXPECT_EQ(framed.At(1, 5), shadow);
  EXPECT_EQ(framed.At(18, 5), light);
}

TEST_F(StyledButtons, SegmentsHideTheirJoinedCornersAndShowSeparators) {
  TCustomStyleServices* s = Use(u"Sky");
  const int w = 40, h = 24;
  // The face of a segment as the element draws it 20 pixels wider on its joined sides.
  auto face = [&](int left, int right) {
    auto t = std::make_unique<TTarget>(w, h, kBackdrop);
    Element(*t, s, GetElementDetails(tbPushButtonNormal), TRect(left, 0, right, h));
    return t;
  };
  TTarget single(w, h, kBackdrop), leftSeg(w, h, kBackdrop), middle(w, h, kBackdrop),
      rightSeg(w, h, kBackdrop);
  DrawSegmentedButtonFace(single.Canvas(), TRect(0, 0, w, h), kxsNormal, kxskSingle, nullptr);
  DrawSegmentedButtonFace(leftSeg.Canvas(), TRect(0, 0, w, h), kxsNormal, kxskLeft, nullptr);
  DrawSegmentedButtonFace(middle.Canvas(), TRect(0, 0, w, h), kxsNormal, kxskMiddle, nullptr);
  DrawSegmentedButtonFace(rightSeg.Canvas(), TRect(0, 0, w, h), kxsNormal, kxskRight, nullptr);

  auto plain = face(0, w), wideBoth = face(-20, w + 20), wideRight = face(0, w + 20),
       wideLeft = face(-20, w);
  EXPECT_TRUE(SameAs(single, *plain));
  // The rounded corners of a lone button are gone where segments join: the middle one's
  // corners show the straight edge of the wider face.
  EXPECT_NE(plain->At(0, 0), wideBoth->At(0, 0));
  EXPECT_EQ(middle.At(0, 0), wideBoth->At(0, 0));
  EXPECT_EQ(middle.At(w - 1, h - 1), wideBoth->At(w - 1, h - 1));
  EXPECT_EQ(leftSeg.At(0, 0), wideRight->At(0, 0));
  EXPECT_EQ(rightSeg.At(w - 1, 0), wideLeft->At(w - 1, 0));

  // Separators 2 pixels inside top and bottom: middle on both sides, right only on its left,
  // left only on its right.
  const int y = h / 2;
  EXPECT_NE(middle.At(0, y), wideBoth->At(0, y));
  EXPECT_NE(middle.At(w - 1, y), wideBoth->At(w - 1, y));
  EXPECT_EQ(middle.At(0, 1), wideBoth->At(0, 1));
  EXPECT_NE(rightSeg.At(0, y), wideLeft->At(0, y));
  EXPECT_EQ(rightSeg.At(w - 1, y), wideLeft->At(w - 1, y));
  EXPECT_NE(leftSeg.At(w - 1, y), wideRight->At(w - 1, y));
  EXPECT_EQ(leftSeg.At(0, y), wideRight->At(0, y));

  // Nothing is drawn outside the segment's own rectangle.
  TTarget wide(w + 40, h, kBackdrop);
  DrawSegmentedButtonFace(wide.Canvas(), TRect(20, 0, 20 + w, h), kxsHot, kxskMiddle, nullptr);
  EXPECT_EQ(PaintedExtent(wide), TRect(20, 0, 20 + w, h));
}

TEST_F(StyledButtons, SegmentedToolFaces) {
  TCustomStyleServices* s = Use(u"Glow");
  TTarget tool(40, 24, kBackdrop), want(40, 24, kBackdrop);
  DrawSegmentedToolButtonFace(tool.Canvas(), TRect(0, 0, 40, 24), kxsPressed, kxskRight,
                              nullptr);
  Element(want, s, GetElementDetails(ttbButtonPressed), TRect(-20, 0, 40, 24));
  EXPECT_EQ(tool.At(39, 0), want.At(39, 0));
  EXPECT_NE(tool.At(0, 12), want.At(0, 12));  // the separator
}

TEST_F(StyledButtons, SpinButtonsTakeScrollArrowsInCustomStylesAndSpinPartsOtherwise) {
  const TRect r(2, 2, 19, 13);
  struct TCase {
    TPaint Paint;
    TThemedSpin Spin;
    TThemedScrollBar Arrow;
  };
  const TCase cases[] = {{&DrawUpButton, tsUpHot, tsArrowBtnUpHot},
                         {&DrawDownButton, tsDownHot, tsArrowBtnDownHot},
                         {&DrawRightButton, tsUpHorzHot, tsArrowBtnRightHot},
                         {&DrawLeftButton, tsDownHorzHot, tsArrowBtnLeftHot}};
  TCustomStyleServices* sys = Use(u"Windows");
  for (const TCase& c : cases) {
    EXPECT_TRUE(DrawsElement(c.Paint, kxsHot, sys, GetElementDetails(c.Spin), r, 1, 96));
    // Focused looks hot; the density follows the scale.
    EXPECT_TRUE(DrawsElement(c.Paint, kxsFocused, sys, GetElementDetails(c.Spin),
                             TRect(0, 0, 34, 22), 2, 192));
  }
  TCustomStyleServices* glow = Use(u"Glow");
  for (const TCase& c : cases)
    EXPECT_TRUE(DrawsElement(c.Paint, kxsHot, glow, GetElementDetails(c.Arrow), r, 1.5, 144));

  UseClassic();
  TTarget got(20, 12, kBackdrop), want(20, 12, kBackdrop);
  DrawDownButton(got.Canvas(), TRect(0, 0, 20, 12), kxsPressed, nullptr, 1);
  TRect fr(0, 0, 20, 12);
  DrawFrameControl(want.Canvas()->Handle(), &fr, DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_PUSHED);
  EXPECT_TRUE(SameAs(got, want));
}

TEST_F(StyledButtons, AShortSystemUpButtonKeepsACleanTopEdge) {
  TCustomStyleServices* sys = Use(u"Windows");
  const int w = 17;
  int squeezedTops = 0;
  for (int h : {5, 6, 7, 8, 9}) {
    TTarget got(w, h, kBackdrop), squeezed(w, h, kBackdrop), tall(w, 10, kBackdrop);
    DrawUpButton(got.Canvas(), TRect(0, 0, w, h), kxsNormal, nullptr, 1);
    Element(squeezed, sys, GetElementDetails(tsUpNormal), TRect(0, 0, w, h));
    Element(tall, sys, GetElementDetails(tsUpNormal), TRect(0, 0, w, 10));
    for (int x = 0; x < w; ++x) squeezedTops += squeezed.At(x, 1) != tall.At(x, 1);
    for (int x = 0; x < w; ++x) {
      EXPECT_EQ(got.At(x, 0), tall.At(x, 0)) << h << " " << x;
      EXPECT_EQ(got.At(x, 1), tall.At(x, 1)) << h << " " << x;
      for (int y = 2; y < h; ++y) EXPECT_EQ(got.At(x, y), squeezed.At(x, y));
    }
  }
  // The arrow of a squeezed button reaches into its top rows, which the taller rendering keeps
  // clear.
  EXPECT_GT(squeezedTops, 0);
  // Ten pixels and more draw the element as it is.
  TTarget got(w, 10, kBackdrop), want(w, 10, kBackdrop);
  DrawUpButton(got.Canvas(), TRect(0, 0, w, 10), kxsNormal, nullptr, 1);
  Element(want, sys, GetElementDetails(tsUpNormal), TRect(0, 0, w, 10));
  EXPECT_TRUE(SameAs(got, want));
}

TEST_F(StyledButtons, DropDownButtons) {
  const TRect r(10, 10, 27, 30);
  TCustomStyleServices* sys = Use(u"Windows");
  {
    TTarget got(40, 40, kBackdrop), want(40, 40, kBackdrop);
    DrawDropDownButton(got.Canvas(), r, kxsPressed, nullptr, 1);
    Element(want, sys, GetElementDetails(tcDropDownButtonRightPressed), TRect(10, 9, 28, 31));
    EXPECT_TRUE(SameAs(got, want));
  }
  {
    TTarget got(40, 40, kBackdrop), want(40, 40, kBackdrop);
    DrawDropDownButton(got.Canvas(), r, kxsFocused, nullptr, 2, true);
    Element(want, sys, GetElementDetails(tcDropDownButtonLeftHot), TRect(9, 9, 27, 31), 192);
    EXPECT_TRUE(SameAs(got, want));
  }
  // Before system version 6 the plain drop-down button.
  SetWindowsVersion(5, 1, 0);
  {
    TTarget got(40, 40, kBackdrop), want(40, 40, kBackdrop);
    DrawDropDownButton(got.Canvas(), r, kxsHot, nullptr, 1);
    Element(want, sys, GetElementDetails(tcDropDownButtonHot), r);
    EXPECT_TRUE(SameAs(got, want));
  }
  SetWindowsVersion(10, 0, 19045);
  TCustomStyleServices* glow = Use(u"Glow");
  {
    TTarget got(40, 40, kBackdrop), want(40, 40, kBackdrop);
    DrawDropDownButton(got.Canvas(), r, kxsDisabled, nullptr, 1);
    Element(want, glow, GetElementDetails(tcDropDownButtonDisabled), r);
    EXPECT_TRUE(SameAs(got, want));
  }
  // Classic: a push frame with a down arrow in clBtnText at the centre.
  UseClassic();
  TTarget got(40, 40, kBackdrop);
  DrawDropDownButton(got.Canvas(), r, kxsNormal, nullptr, 1);
  EXPECT_EQ(got.At(18, 22), Opaque(clBtnText));   // the tip, 2 below the centre (18, 20)
  EXPECT_EQ(got.At(15, 19), Opaque(clBtnText));   // the widest line
  EXPECT_EQ(got.At(18, 23), Opaque(clBtnFace));
}

TEST_F(StyledButtons, CheckBoxSizesFollowTheScale) {
  TCustomStyleServices* sys = Use(u"Windows");
  TSize s96, s192;
  ASSERT_TRUE(sys->GetElementSize(nullptr, GetElementDetails(tbCheckBoxCheckedNormal), esActual,
                                  s96, 96));
  ASSERT_TRUE(sys->GetElementSize(nullptr, GetElementDetails(tbCheckBoxCheckedNormal), esActual,
                                  s192, 192));
  EXPECT_EQ(GetCheckBoxSize(nullptr, 1), s96.cx);
  EXPECT_EQ(GetCheckBoxSize(nullptr, 0.5), s96.cx);
  EXPECT_EQ(GetCheckBoxSize(nullptr, 2), s192.cx);
  EXPECT_GT(s192.cx, s96.cx);
  // Classic boxes are 13 pixels at 100 % and grow with the scale, as they are drawn.
  UseClassic();
  EXPECT_EQ(GetCheckBoxSize(nullptr, 1), 13);
  EXPECT_EQ(GetCheckBoxSize(nullptr, 2), 26);
  TTarget t(60, 40, kBackdrop);
  DrawCheckBox(t.Canvas(), TRect(0, 0, 60, 40), kxsNormal, cbChecked, nullptr, 2);
  EXPECT_EQ(PaintedExtent(t), TRect(0, 7, 26, 33));
}

TEST_F(StyledButtons, CheckBoxesAndRadioButtonsDrawTheirElementsPlaced) {
  TCustomStyleServices* s = Use(u"Aqua Light Slate");
  const int box = GetCheckBoxSize(nullptr, 1);
  ASSERT_GT(box, 0);
  struct TCase {
    TCheckBoxState Check;
    TkxsCtrlState State;
    TThemedButton Part;
  };
  const TCase cases[] = {{cbUnchecked, kxsNormal, tbCheckBoxUncheckedNormal},
                         {cbChecked, kxsHot, tbCheckBoxCheckedHot},
                         {cbChecked, kxsFocused, tbCheckBoxCheckedHot},
                         {cbGrayed, kxsPressed, tbCheckBoxMixedPressed},
                         {cbGrayed, kxsDisabled, tbCheckBoxMixedDisabled}};
  for (const TCase& c : cases) {
    TTarget got(80, 30, kBackdrop), want(80, 30, kBackdrop);
    DrawCheckBox(got.Canvas(), TRect(5, 0, 80, 30), c.State, c.Check, nullptr, 1);
    const int top = (30 - box) / 2;
    Element(want, s, GetElementDetails(c.Part), TRect::FromSize(5, top, box, box));
    EXPECT_TRUE(SameAs(got, want)) << ElementDetailsName(GetElementDetails(c.Part));
  }
  // Narrower than the box: the box ends at the rectangle's right edge.
  TTarget narrow(40, 30, kBackdrop);
  DrawCheckBox(narrow.Canvas(), TRect(20, 0, 25, 30), kxsNormal, cbChecked, nullptr, 1);
  TRect e = PaintedExtent(narrow);
  EXPECT_EQ(e.Right, 25);
  EXPECT_EQ(e.Left, 25 - box);

  TTarget radio(40, 30, kBackdrop), radioWant(40, 30, kBackdrop);
  DrawRadioButton(radio.Canvas(), TRect(0, 0, 40, 30), kxsPressed, true, nullptr, 1);
  Element(radioWant, s, GetElementDetails(tbRadioButtonCheckedPressed),
          TRect::FromSize(0, (30 - box) / 2, box, box));
  EXPECT_TRUE(SameAs(radio, radioWant));

  // The tree-view box is centred in its cell; a disabled list item draws a disabled box.
  TTarget tree(40, 30, kBackdrop), treeWant(40, 30, kBackdrop);
  DrawTreeViewCheckBox(tree.Canvas(), TRect(0, 0, 40, 30), kxsNormal, true, nullptr, 1);
  Element(treeWant, s, GetElementDetails(tbCheckBoxCheckedNormal),
          TRect::FromSize((40 - box) / 2, (30 - box) / 2, box, box));
  EXPECT_TRUE(SameAs(tree, treeWant));
  TTarget list(40, 30, kBackdrop), listWant(40, 30, kBackdrop);
  DrawListCheckBox(list.Canvas(), TRect(0, 0, 40, 30), kxsHot, cbUnchecked, false, nullptr, 1);
  DrawCheckBox(listWant.Canvas(), TRect(0, 0, 40, 30), kxsDisabled, cbUnchecked, nullptr, 1);
  EXPECT_TRUE(SameAs(list, listWant));

  // Classic: frame controls with the check state flags.
  UseClassic();
  struct TClassic {
    TCheckBoxState Check;
    TkxsCtrlState State;
    UINT Flags;
  };
  const TClassic classic[] = {
      {cbChecked, kxsNormal, DFCS_BUTTONCHECK | DFCS_CHECKED},
      {cbGrayed, kxsNormal, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE},
      {cbUnchecked, kxsPressed, DFCS_BUTTONCHECK | DFCS_PUSHED}};
  for (const TClassic& c : classic) {
    TTarget got(20, 20, kBackdrop), want(20, 20, kBackdrop);
    DrawCheckBox(got.Canvas(), TRect(0, 0, 20, 20), c.State, c.Check, nullptr, 1);
    TRect b = TRect::FromSize(0, 3, 13, 13);
    DrawFrameControl(want.Canvas()->Handle(), &b, DFC_BUTTON, c.Flags);
    EXPECT_TRUE(SameAs(got, want)) << c.Flags;
  }
}
