// Reading and writing components as window descriptions.
//
// Reading: components are created in stream order, owned by the root (or the reader's Owner,
// or the GetChildOwner of the component they are nested in), given their parent through
// SetParentComponent, and their properties are set through the published-property tables.
// References to components and event handlers are resolved after the whole description has
// been read; then every component read (the root first) gets Loaded once, in creation order.
// csLoading and csReading are set meanwhile.
//
// Errors raise EReadError naming the source, the position (line and column of a text, byte
// offset of a binary form), the component and the property. After an error every component
// the read created is freed (a root it created too); the given root and the components that
// already existed keep the property values assigned before the error, Loaded is not called,
// and their loading states are cleared.
#pragma once
#include <memory>
#include <span>
#include <vector>

#include "host/classes/Component.h"
#include "host/classes/FormData.h"

namespace vcl {

class TCollection;
class TPropInfo;

class TReader : public TFiler {
 public:
  explicit TReader(StringView sourceName = {});
  ~TReader() override;

  // Reads `data` into `root`; a null root is created from the description's class (which
  // must be registered) without owner. Returns the root.
  TComponent* ReadRootComponent(const TFormObject& data, TComponent* root);

  // Owner of the components read; the root when not set.
  void SetOwner(TComponent* owner) { FOwner = owner; }
  TComponent* Owner() const { return FOwner; }
  // Parent given to the components being read (the component they are nested in).
  TComponent* Parent() const { return FParent; }
  const String& SourceName() const { return FSource; }

  // Properties and children of the component being read; TComponent::ReadState calls it.
  void ReadData(TComponent* instance);

  // ---- values, for DefineProperty readers ----
  TValueType NextValue();  // vaNull at the end of a list
  bool EndOfList();
  void ReadListBegin();
  void ReadListEnd();
  Integer ReadInteger();
  Int64 ReadInt64();
  bool ReadBoolean();
  double ReadFloat();
  String ReadString();
  String ReadIdent();
  Char ReadChar();
  std::vector<Byte> ReadBytes();
  const TFormValue& ReadValue();  // any value
  void ReadCollection(TCollection* collection);

  void DefineProperty(StringView name, const TReaderProc& readData, const TWriterProc& writeData,
                      bool hasData) override;
  void DefineBinaryProperty(StringView name, const TStreamProc& readData,
                            const TStreamProc& writeData, bool hasData) override;

 private:
  struct TFixup {
    TPersistent* Instance;
    const TPropInfo* Prop;
    String Name;
    TFormPos Pos;
    String Context;
    TComponent* Holder;
  };
  class TTracker;

  [[noreturn]] void Error(TFormPos pos, StringView message) const;
  template <class F>
  void Guard(TFormPos pos, F&& f);
  TComponent* CreateComponent(const String& className, TComponent* owner, TFormPos pos);
  void ReadComponentNode(const TFormObject& node);
  void ReadProperty(TPersistent* instance, const TFormProperty& p);
  void ReadPropValue(TPersistent* instance, const TPropInfo& prop, const TFormValue& v);
  void ReadCollectionItems(TCollection* collection, const TFormValue& v);
  void ResolveFixups();
  TComponent* ResolveReference(StringView name) const;
  const TFormValue& Next(StringView what);

  String FSource;
  TComponent* FOwner = nullptr;
  TComponent* FDefaultOwner = nullptr;
  TComponent* FCurOwner = nullptr;
  TComponent* FParent = nullptr;
  TComponent* FHolder = nullptr;  // component whose properties are being read
  const TFormObject* FCurrent = nullptr;
  String FContext;  // "Button1" / "ListBox1.Items[2]" for messages
  TTracker* FTracker = nullptr;
  std::vector<TComponent*> FReading;  // components whose data is being read, outermost first
  std::vector<TFixup> FFixups;
  // Defined-property lookup.
  StringView FDefName;
  const TFormProperty* FDefProp = nullptr;
  bool FDefFound = false;
  // Value cursor.
  const TFormValue* FTop = nullptr;
  bool FTopRead = false;
  std::vector<std::pair<const std::vector<TFormValue>*, size_t>> FFrames;
};

class TWriter : public TFiler {
 public:
  TWriter() = default;

  // The description of `root`: its stored properties and, through GetChildren, its children.
  TFormObject WriteRootComponent(TComponent* root);
  // Properties and children of the component being written; TComponent::WriteState calls it.
  void WriteData(TComponent* instance);

  // ---- values, for DefineProperty writers: exactly one value (a list counts as one) ----
  void WriteListBegin();
  void WriteListEnd();
  void WriteInteger(Int64 value);
  void WriteBoolean(bool value);
  void WriteFloat(double value);
  void WriteString(StringView value);
  void WriteIdent(StringView value);
  void WriteChar(Char value);
  void WriteBytes(std::span<const Byte> value);
  void WriteValue(TFormValue value);
  void WriteCollection(TCollection* collection);

  void DefineProperty(StringView name, const TReaderProc& readData, const TWriterProc& writeData,
                      bool hasData) override;
  void DefineBinaryProperty(StringView name, const TStreamProc& readData,
                            const TStreamProc& writeData, bool hasData) override;

 private:
  void WriteComponent(TComponent* component);
  void WriteProperties(TPersistent* instance, std::vector<TFormProperty>& out, const String& prefix);
  bool WriteProperty(TPersistent* instance, const TPropInfo& prop, TFormValue& out,
                     std::vector<TFormProperty>& list, const String& prefix);
  TFormValue CollectionValue(TCollection* collection);
  String ReferenceName(TComponent* c) const;

  TFormObject* FCurrent = nullptr;
  std::vector<TFormProperty>* FProps = nullptr;  // where defined properties go
  String FPrefix;
  struct TTarget {
    TFormValue* Value;
    bool List;
    bool Written;
  };
  std::vector<TTarget> FTargets;
};

// ---- entry points ----

// Reads a textual description into `root` (nullptr: creates it) and returns the root.
TComponent* ReadComponentFromText(StringView text, TComponent* root, StringView sourceName = {});
// Reads a binary description from the stream's current position to its end.
TComponent* ReadComponent(TStream* stream, TComponent* root = nullptr, StringView sourceName = {});
// Text or binary data, told apart by the "TPF0" signature (embedded resources, files).
TComponent* ReadComponentData(std::span<const Byte> data, TComponent* root, StringView sourceName = {});

String WriteComponentText(TComponent* root);
void WriteComponentBinary(TComponent* root, TStream* stream);
std::vector<Byte> WriteComponentBinary(TComponent* root);

// Converters between the two forms. Text streams hold UTF-8.
std::vector<Byte> ObjectTextToBinary(StringView text, StringView sourceName = {});
String ObjectBinaryToText(std::span<const Byte> data, StringView sourceName = {});
void ObjectTextToBinary(TStream* input, TStream* output, StringView sourceName = {});
void ObjectBinaryToText(TStream* input, TStream* output, StringView sourceName = {});

}  // namespace vcl
