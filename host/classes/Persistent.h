// TPersistent: objects that copy with Assign and store themselves in window descriptions,
// and TFiler, the interface through which they define extra stored properties.
#pragma once
#include <functional>

#include "host/classes/Object.h"

namespace vcl {

class TReader;
class TWriter;
class TStream;
class TComponent;

// Seen by DefineProperties: a reader or a writer. A defined property is stored under its
// name after the published properties of the object that defines it ("Lines.Strings",
// "PngImage.Data").
class TFiler {
 public:
  using TReaderProc = std::function<void(TReader&)>;
  using TWriterProc = std::function<void(TWriter&)>;
  using TStreamProc = std::function<void(TStream&)>;

  virtual ~TFiler() = default;
  // A property read and written as values (WriteListBegin/WriteString/...). `hasData`
  // decides whether the writer stores it at all.
  virtual void DefineProperty(StringView name, const TReaderProc& readData,
                              const TWriterProc& writeData, bool hasData) = 0;
  // A property stored as a binary block; the callbacks see a memory stream positioned at 0.
  virtual void DefineBinaryProperty(StringView name, const TStreamProc& readData,
                                    const TStreamProc& writeData, bool hasData) = 0;

  TComponent* Root() const { return FRoot; }
  TComponent* LookupRoot() const { return FLookupRoot; }

 protected:
  TComponent* FRoot = nullptr;
  TComponent* FLookupRoot = nullptr;
};

class TPersistent : public TObject {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  // Copies `source` into this object: asks source->AssignTo(this); a pair that neither side
  // handles raises EConvertError "Cannot assign a TFoo to a TBar".
  virtual void Assign(TPersistent* source);
  // Stored properties beyond the published ones.
  virtual void DefineProperties(TFiler* filer) {}
  // The object this one belongs to (a component's owner, an item's collection).
  virtual TPersistent* GetOwner() const { return nullptr; }
  // "Form1.Button1.Font"-like path used in messages and by designers.
  virtual String GetNamePath() const;

 protected:
  virtual void AssignTo(TPersistent* dest);
  [[noreturn]] void AssignError(TPersistent* source);
};

}  // namespace vcl
