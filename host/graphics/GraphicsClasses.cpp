// Class metadata of the graphics classes: names, published properties, registration.
#include "host/classes/TypInfo.h"
#include "host/graphics/Canvas.h"
#include "host/graphics/Graphic.h"
#include "host/graphics/ImgList.h"
#include "host/graphics/PngImage.h"

namespace vcl {

const TClass TGraphicsObject::Class =
    TClass::Define<TGraphicsObject, TPersistent>(u"TGraphicsObject");

const TClass TFont::Class = TClass::Define<TFont, TGraphicsObject>(u"TFont", [](auto& c) {
  RegisterColorIdents();
  RegisterCharsetIdents();
  c.Property(u"Charset", &TFont::Charset, &TFont::SetCharset).Idents(u"TFontCharset");
  c.Property(u"Color", &TFont::Color, &TFont::SetColor).Idents(u"TColor");
  c.Property(u"Height", &TFont::Height, &TFont::SetHeight);
  c.Property(u"Name", &TFont::Name, &TFont::SetName);
  c.Property(u"Orientation", &TFont::Orientation, &TFont::SetOrientation).Default(0);
  c.Property(u"Pitch", &TFont::Pitch, &TFont::SetPitch).Default(fpDefault);
  c.Property(u"Size", &TFont::Size, &TFont::SetSize).Stored(false);
  c.Property(u"Style", &TFont::Style, &TFont::SetStyle);
  c.Property(u"Quality", &TFont::Quality, &TFont::SetQuality).Default(fqDefault);
});

const TClass TPen::Class = TClass::Define<TPen, TGraphicsObject>(u"TPen", [](auto& c) {
  RegisterColorIdents();
  c.Property(u"Color", &TPen::Color, &TPen::SetColor).Idents(u"TColor").Default(clBlack);
  c.Property(u"Mode", &TPen::Mode, &TPen::SetMode).Default(pmCopy);
  c.Property(u"Style", &TPen::Style, &TPen::SetStyle).Default(psSolid);
  c.Property(u"Width", &TPen::Width, &TPen::SetWidth).Default(1);
});

const TClass TBrush::Class = TClass::Define<TBrush, TGraphicsObject>(u"TBrush", [](auto& c) {
  RegisterColorIdents();
  c.Property(u"Color", &TBrush::Color, &TBrush::SetColor).Idents(u"TColor").Default(clWhite);
  c.Property(u"Style", &TBrush::Style, &TBrush::SetStyle).Default(bsSolid);
});

const TClass TCanvas::Class = TClass::Define<TCanvas, TPersistent>(u"TCanvas");

const TClass TGraphic::Class = TClass::Define<TGraphic, TPersistent>(u"TGraphic");
const TClass TBitmap::Class = TClass::Define<TBitmap, TGraphic>(u"TBitmap");
const TClass TPngImage::Class = TClass::Define<TPngImage, TGraphic>(u"TPngImage");

const TClass TCustomImageList::Class =
    TClass::Define<TCustomImageList, TComponent>(u"TCustomImageList");

const TClass TImageList::Class =
    TClass::Define<TImageList, TCustomImageList>(u"TImageList", [](auto& c) {
      RegisterColorIdents();
      c.Property(u"BlendColor", &TImageList::BlendColor, &TImageList::SetBlendColor)
          .Idents(u"TColor")
          .Default(clNone);
      c.Property(u"BkColor", &TImageList::BkColor, &TImageList::SetBkColor)
          .Idents(u"TColor")
          .Default(clNone);
      c.Property(u"AllocBy", &TImageList::AllocBy, &TImageList::SetAllocBy).Default(4);
      c.Property(u"ColorDepth", &TImageList::ColorDepth, &TImageList::SetColorDepth)
          .Default(cdDeviceDependent);
      c.Property(u"DrawingStyle", &TImageList::DrawingStyle, &TImageList::SetDrawingStyle)
          .Default(dsNormal);
      c.Property(u"Height", &TImageList::Height, &TImageList::SetHeight).Default(16);
      c.Property(u"ImageType", &TImageList::ImageType, &TImageList::SetImageType)
          .Default(itImage);
      c.Property(u"Masked", &TImageList::Masked, &TImageList::SetMasked).Default(true);
      c.Property(u"OnChange", &TImageList::FOnChange);
      c.Property(u"ShareImages", &TImageList::ShareImages, &TImageList::SetShareImages)
          .Default(false);
      c.Property(u"Width", &TImageList::Width, &TImageList::SetWidth).Default(16);
    });

void RegisterGraphicsClasses() {
  static const bool done = [] {
    RegisterColorIdents();
    RegisterCharsetIdents();
    RegisterClasses({&TFont::Class, &TPen::Class, &TBrush::Class, &TCanvas::Class,
                     &TBitmap::Class, &TPngImage::Class, &TImageList::Class});
    return true;
  }();
  (void)done;
}

}  // namespace vcl
