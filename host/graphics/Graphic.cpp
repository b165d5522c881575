// TGraphic: file and resource loading, the stored form, change notification.
#include "host/graphics/Graphic.h"

#include "host/rtl/Resources.h"
#include "host/rtl/Streams.h"

namespace vcl {

TGraphic::~TGraphic() = default;

void TGraphic::Changed(TObject*) {
  FModified = true;
  FOnChange(this);
}

void TGraphic::SetTransparent(bool v) {
  if (FTransparent == v) return;
  FTransparent = v;
  Changed(this);
}

void TGraphic::SetModified(bool v) {
  if (v)
    Changed(this);
  else
    FModified = false;
}

namespace {
// Names the source of a load while it runs.
class TSourceScope {
 public:
  TSourceScope(String& slot, StringView name) : FSlot(slot) { FSlot = String(name); }
  ~TSourceScope() { FSlot.clear(); }
  TSourceScope(const TSourceScope&) = delete;
  TSourceScope& operator=(const TSourceScope&) = delete;

 private:
  String& FSlot;
};
}  // namespace

void TGraphic::LoadFromFile(const String& fileName) {
  TFileStream stream(fileName, fmOpenRead);
  TSourceScope scope(FSourceName, fileName);
  LoadFromStream(&stream);
}

void TGraphic::SaveToFile(const String& fileName) {
  TFileStream stream(fileName, fmCreate);
  SaveToStream(&stream);
}

void TGraphic::LoadFromResourceName(NativeUInt, StringView name) {
  TResourceStream stream{String(name), String(RT_RCDATA)};
  TSourceScope scope(FSourceName, name);
  LoadFromStream(&stream);
}

void TGraphic::ReadData(TStream* stream) { LoadFromStream(stream); }

void TGraphic::WriteData(TStream* stream) { SaveToStream(stream); }

void TGraphic::DefineProperties(TFiler* filer) {
  filer->DefineBinaryProperty(
      u"Data", [this](TStream& s) { ReadData(&s); }, [this](TStream& s) { WriteData(&s); },
      !Empty());
}

}  // namespace vcl
