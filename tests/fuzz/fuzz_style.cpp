// libFuzzer target of the style loader: packed style files (input starting with the
// "VCL_STYLE 2.0" signature) and, for anything else, style sources given to the parser directly.
// Every input must either load or be rejected with EStyleEngineException; a loaded style must
// resolve every element without trouble.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "host/themes/format/ElementModel.h"
#include "host/themes/format/StyleFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vcl;
  try {
    std::string text;
    if (size >= StyleFileSignature.size() &&
        std::memcmp(data, StyleFileSignature.data(), StyleFileSignature.size()) == 0)
      text = UnpackStyle(data, size, u"fuzz.vsf");
    else
      text.assign(reinterpret_cast<const char*>(data), size);
    TStyleSource style = ParseStyleSource(text, u"fuzz.style");
    for (size_t i = 0; i < ElementEntries().size(); ++i) ResolveRecipe(style, int(i));
    StyleCompletenessProblems(style);
  } catch (const EStyleEngineException&) {
  }
  return 0;
}
