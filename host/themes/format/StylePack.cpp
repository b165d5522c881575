// The packed style file: the signature followed by a zlib stream of the source text.
#include <cstring>

#include "host/rtl/ZLib.h"
#include "host/themes/format/StyleFormat.h"

namespace vcl {

std::vector<Byte> PackStyleSource(std::string_view text) {
  std::vector<Byte> out(StyleFileSignature.begin(), StyleFileSignature.end());
  std::vector<Byte> z = ZCompress(reinterpret_cast<const Byte*>(text.data()), text.size(), zcMax);
  out.insert(out.end(), z.begin(), z.end());
  return out;
}

std::string UnpackStyle(const Byte* data, size_t size, const String& origin) {
  auto fail = [&](const std::string& what) -> std::string {
    throw EStyleEngineException(StringToUtf8(origin) + ": " + what);
  };
  if (size < StyleFileSignature.size() ||
      std::memcmp(data, StyleFileSignature.data(), StyleFileSignature.size()) != 0)
    return fail("not a style file (it does not start with \"VCL_STYLE 2.0\")");
  if (size > MaxPackedStyleSize)
    return fail("style file larger than " + std::to_string(MaxPackedStyleSize) + " bytes");
  size_t off = StyleFileSignature.size();
  std::vector<Byte> text;
  try {
    text = ZDecompress(data + off, size - off, 0, MaxStyleSourceSize);
  } catch (const EZLibError& e) {
    return fail(std::string("corrupt style data: ") + e.what());
  }
  return std::string(text.begin(), text.end());
}

}  // namespace vcl
