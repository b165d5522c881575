// TWriter: describes live components; the reading and writing entry points.
#include "host/classes/Filer.h"
#include "host/classes/TypInfo.h"
#include "host/rtl/NumFormat.h"
#include "host/rtl/ScopeGuards.h"
#include "host/rtl/Streams.h"

namespace vcl {

TFormObject TWriter::WriteRootComponent(TComponent* root) {
  FRoot = FLookupRoot = root;
  TFormObject node;
  node.ClassName = String(root->ClassName());
  node.Name = root->Name();
  FCurrent = &node;
  bool wasWriting = root->FComponentState.Contains(csWriting);
  root->FComponentState.Include(csWriting);
  {
    TFinally written([&] {
      if (!wasWriting) root->FComponentState.Exclude(csWriting);
      FCurrent = nullptr;
    });
    root->WriteState(*this);
  }
  return node;
}

void TWriter::WriteData(TComponent* instance) {
  if (!FCurrent) throw EWriteError("TWriter::WriteData called outside of a write");
  WriteProperties(instance, FCurrent->Props, {});
  instance->GetChildren([this](TComponent* child) { WriteComponent(child); }, FRoot);
}

void TWriter::WriteComponent(TComponent* component) {
  TFormObject node;
  node.ClassName = String(component->ClassName());
  node.Name = component->Name();
  if (component->ComponentState().Contains(csInline)) node.Flags.Include(ffInline);
  else if (component->ComponentState().Contains(csAncestor)) node.Flags.Include(ffInherited);
  TFormObject* parent = FCurrent;
  FCurrent = &node;
  component->FComponentState.Include(csWriting);
  {
    TFinally written([&] {
      component->FComponentState.Exclude(csWriting);
      FCurrent = parent;
    });
    component->WriteState(*this);
  }
  parent->Children.push_back(std::move(node));
}

void TWriter::WriteProperties(TPersistent* instance, std::vector<TFormProperty>& out, const String& prefix) {
  for (const TPropInfo* pi : GetPropList(instance->ClassType())) {
    if (!pi->IsStored(instance)) continue;
    TFormValue v;
    if (WriteProperty(instance, *pi, v, out, prefix)) out.push_back({prefix + pi->Name, std::move(v), {}});
  }
  std::vector<TFormProperty>* savedProps = FProps;
  String savedPrefix = std::move(FPrefix);
  FProps = &out;
  FPrefix = prefix;
  instance->DefineProperties(this);
  FProps = savedProps;
  FPrefix = std::move(savedPrefix);
}

// Fills `out` with the property's value and returns true when it is to be written as one
// property; owned objects add their own properties to `list` instead.
bool TWriter::WriteProperty(TPersistent* instance, const TPropInfo& prop, TFormValue& out,
                            std::vector<TFormProperty>& list, const String& prefix) {
  auto objectOf = [&] { return std::get<TObject*>(prop.Get(instance)); };
  switch (prop.Kind) {
    case pkPersistent: {
      if (auto* sub = dynamic_cast<TPersistent*>(objectOf())) WriteProperties(sub, list, prefix + prop.Name + u".");
      return false;
    }
    case pkCollection: {
      auto* coll = dynamic_cast<TCollection*>(objectOf());
      if (!coll || (coll->Count() == 0 && prop.StoredMode != TPropInfo::TStoredMode::Always)) return false;
      out = CollectionValue(coll);
      return true;
    }
    case pkComponent: {
      auto* c = dynamic_cast<TComponent*>(objectOf());
      if (!c) {
        if (prop.StoredMode != TPropInfo::TStoredMode::Always || !prop.Set) return false;
        out.Type = vaNil;
        return true;
      }
      if (c->ComponentStyle().Contains(csSubComponent) && c->Owner() == instance) {
        WriteProperties(c, list, prefix + prop.Name + u".");
        return false;
      }
      if (!prop.Set) return false;
      String name = ReferenceName(c);
      if (name.empty()) return false;
      out = TFormValue::FromIdent(name);
      return true;
    }
    case pkMethod: {
      TMethod m = std::get<TMethod>(prop.Get(instance));
      if (!m || !prop.Set || !FLookupRoot || m.Data != FLookupRoot) return false;
      String name = MethodName(FLookupRoot->ClassType(), m.Code);
      if (name.empty()) return false;
      out = TFormValue::FromIdent(name);
      return true;
    }
    default: break;
  }
  if (!prop.Set || prop.IsDefaultValue(instance)) return false;
  TPropValue v = prop.Get(instance);
  switch (prop.Kind) {
    case pkString: out = TFormValue::FromString(std::get<String>(v)); break;
    case pkFloat:
      out.Type = vaExtended;
      out.Float = std::get<double>(v);
      break;
    case pkBoolean: out.Type = std::get<Int64>(v) ? vaTrue : vaFalse; break;
    case pkChar: out = TFormValue::FromString(String(1, static_cast<Char>(std::get<Int64>(v)))); break;
    case pkEnumeration: {
      const String& name = prop.EnumType->Name(static_cast<int>(std::get<Int64>(v)));
      if (name.empty())
        throw EWriteError(u"Value " + IntToStr(std::get<Int64>(v)) + u" of property " + prop.Name +
                          u" is not a " + prop.EnumType->TypeName() + u" value");
      out = TFormValue::FromIdent(name);
      break;
    }
    case pkSet: {
      out.Type = vaSet;
      auto bits = static_cast<UInt64>(std::get<Int64>(v));
      for (int i = 0; i < 64; ++i)
        if (bits & (UInt64(1) << i)) {
          const String& name = prop.EnumType->Name(i);
          if (name.empty())
            throw EWriteError(u"Property " + prop.Name + u" holds an element outside " + prop.EnumType->TypeName());
          out.Items.push_back(TFormValue::FromIdent(name));
        }
      break;
    }
    default: {  // integers
      Int64 n = std::get<Int64>(v);
      String ident;
      if (!prop.IdentType.empty() && n >= INT32_MIN && n <= INT32_MAX &&
          IntToIdent(prop.IdentType, static_cast<Integer>(n), ident))
        out = TFormValue::FromIdent(ident);
      else out = TFormValue::FromInt(n);
    }
  }
  return true;
}

TFormValue TWriter::CollectionValue(TCollection* collection) {
  TFormValue v;
  v.Type = vaCollection;
  for (int i = 0; i < collection->Count(); ++i) {
    TFormItem item;
    WriteProperties(collection->Items(i), item.Props, {});
    v.Collection.push_back(std::move(item));
  }
  return v;
}

String TWriter::ReferenceName(TComponent* c) const {
  if (c == FLookupRoot || c->Owner() == FLookupRoot) return c->Name();
  if (c->Name().empty()) return {};
  // A component of a nested owner ("Frame1.Button1") or of another root ("Form2.Button1").
  String path = c->Name();
  for (TComponent* o = c->Owner(); o; o = o->Owner()) {
    if (o == FLookupRoot) return path;
    if (o->Name().empty()) return {};
    path = o->Name() + u"." + path;
  }
  return path;
}

// ---- values of defined properties ----

void TWriter::DefineProperty(StringView name, const TReaderProc&, const TWriterProc& writeData, bool hasData) {
  if (!hasData || !writeData || !FProps) return;
  TFormProperty p;
  p.Name = FPrefix + String(name);
  auto saved = std::move(FTargets);
  FTargets = {{&p.Value, false, false}};
  writeData(*this);
  bool complete = FTargets.size() == 1 && FTargets[0].Written;
  FTargets = std::move(saved);
  if (!complete) throw EWriteError(u"Property " + p.Name + u" was not written as one complete value");
  FProps->push_back(std::move(p));
}

void TWriter::DefineBinaryProperty(StringView name, const TStreamProc&, const TStreamProc& writeData, bool hasData) {
  if (!hasData || !writeData || !FProps) return;
  TMemoryStream stream;
  writeData(stream);
  TFormProperty p;
  p.Name = FPrefix + String(name);
  p.Value.Type = vaBinary;
  p.Value.Bytes.assign(stream.Memory(), stream.Memory() + stream.Size());
  FProps->push_back(std::move(p));
}

void TWriter::WriteValue(TFormValue value) {
  if (FTargets.empty()) throw EWriteError("No property value is being written");
  TTarget& t = FTargets.back();
  if (t.List) {
    t.Value->Items.push_back(std::move(value));
    return;
  }
  if (t.Written) throw EWriteError("A property holds one value; write a list for several");
  *t.Value = std::move(value);
  t.Written = true;
}

void TWriter::WriteListBegin() {
  TFormValue list;
  list.Type = vaList;
  WriteValue(std::move(list));
  TTarget& t = FTargets.back();
  TFormValue* target = t.List ? &t.Value->Items.back() : t.Value;
  FTargets.push_back({target, true, true});
}

void TWriter::WriteListEnd() {
  if (FTargets.empty() || !FTargets.back().List) throw EWriteError("WriteListEnd without WriteListBegin");
  FTargets.pop_back();
}

void TWriter::WriteInteger(Int64 value) { WriteValue(TFormValue::FromInt(value)); }
void TWriter::WriteBoolean(bool value) {
  TFormValue v;
  v.Type = value ? vaTrue : vaFalse;
  WriteValue(std::move(v));
}
void TWriter::WriteFloat(double value) {
  TFormValue v;
  v.Type = vaExtended;
  v.Float = value;
  WriteValue(std::move(v));
}
void TWriter::WriteString(StringView value) { WriteValue(TFormValue::FromString(value)); }
void TWriter::WriteIdent(StringView value) { WriteValue(TFormValue::FromIdent(value)); }
void TWriter::WriteChar(Char value) { WriteValue(TFormValue::FromString(String(1, value))); }
void TWriter::WriteBytes(std::span<const Byte> value) {
  TFormValue v;
  v.Type = vaBinary;
  v.Bytes.assign(value.begin(), value.end());
  WriteValue(std::move(v));
}
void TWriter::WriteCollection(TCollection* collection) { WriteValue(CollectionValue(collection)); }

// ---- entry points ----

namespace {
std::vector<Byte> ReadRest(TStream* stream) {
  std::vector<Byte> bytes;
  Byte buffer[65536];
  for (;;) {
    Int64 n = stream->Read(buffer, sizeof buffer);
    if (n <= 0) break;
    if (bytes.size() + static_cast<size_t>(n) > static_cast<size_t>(INT32_MAX))
      throw EReadError("Form data too large");
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  return bytes;
}

TComponent* Read(const TFormObject& data, TComponent* root, StringView sourceName) {
  TReader reader(sourceName);
  return reader.ReadRootComponent(data, root);
}
}  // namespace

TComponent* ReadComponentFromText(StringView text, TComponent* root, StringView sourceName) {
  return Read(ParseFormText(text, sourceName), root, sourceName);
}

TComponent* ReadComponent(TStream* stream, TComponent* root, StringView sourceName) {
  return Read(ParseFormBinary(ReadRest(stream), sourceName), root, sourceName);
}

TComponent* ReadComponentData(std::span<const Byte> data, TComponent* root, StringView sourceName) {
  return Read(ParseForm(data, sourceName), root, sourceName);
}

String WriteComponentText(TComponent* root) {
  TWriter writer;
  return FormatFormText(writer.WriteRootComponent(root));
}

std::vector<Byte> WriteComponentBinary(TComponent* root) {
  TWriter writer;
  return FormatFormBinary(writer.WriteRootComponent(root));
}

void WriteComponentBinary(TComponent* root, TStream* stream) {
  std::vector<Byte> bytes = WriteComponentBinary(root);
  stream->WriteBuffer(bytes.data(), static_cast<Int64>(bytes.size()));
}

std::vector<Byte> ObjectTextToBinary(StringView text, StringView sourceName) {
  return FormatFormBinary(ParseFormText(text, sourceName));
}

String ObjectBinaryToText(std::span<const Byte> data, StringView sourceName) {
  return FormatFormText(ParseFormBinary(data, sourceName));
}

void ObjectTextToBinary(TStream* input, TStream* output, StringView sourceName) {
  std::vector<Byte> text = ReadRest(input);
  std::vector<Byte> bytes = FormatFormBinary(ParseForm(text, sourceName));
  output->WriteBuffer(bytes.data(), static_cast<Int64>(bytes.size()));
}

void ObjectBinaryToText(TStream* input, TStream* output, StringView sourceName) {
  std::string text = StringToUtf8(ObjectBinaryToText(ReadRest(input), sourceName));
  output->WriteBuffer(text.data(), static_cast<Int64>(text.size()));
}

}  // namespace vcl
