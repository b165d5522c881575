// Feeds arbitrary bytes to the window-description parsers (text, or binary after "TPF0") and
// reads what parses into live components. Any exception other than the host's own is a
// fault, as are a crash, a leak, and a description whose text form does not reproduce itself.
#include <cstdio>
#include <cstdlib>

#include "TestClasses.h"

using namespace vcl;

namespace {
void Check(bool ok) {
  if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool registered = (kxtest::RegisterTestClasses(), true);
  (void)registered;
  kxtest::Log().clear();
  TFormObject tree;
  try {
    tree = ParseForm(std::span<const Byte>(data, size), u"fuzz");
  } catch (const Exception&) {
    return 0;
  }
  // Formatting what parsed: text reproduces itself; binary too.
  try {
    std::vector<Byte> binary = FormatFormBinary(tree);
    Check(FormatFormBinary(ParseFormBinary(binary)) == binary);
  } catch (const EWriteError&) {
    // not representable in binary (long or non-ASCII names)
  }
  try {
    String text = FormatFormText(tree);
    Check(FormatFormText(ParseFormText(text)) == text);
  } catch (const EWriteError&) {
    // not representable in text (non-finite floats, names that are not identifiers)
  }
  // Reading into components; what the writer then makes of them reads back to the same text.
  kxtest::TTestForm root(nullptr);
  try {
    TReader reader(u"fuzz");
    reader.ReadRootComponent(tree, &root);
  } catch (const Exception&) {
    return 0;
  }
  String text;
  try {
    text = WriteComponentText(&root);
  } catch (const EWriteError&) {
    return 0;  // a value the text form cannot hold (a float that is not finite)
  }
  kxtest::TTestForm again(nullptr);
  try {
    ReadComponentFromText(text, &again);
  } catch (const Exception& e) {
    std::fprintf(stderr, "written text does not read back: %s\n%s\n", e.what(), StringToUtf8(text).c_str());
    std::abort();
  }
  Check(WriteComponentText(&again) == text);
  return 0;
}
