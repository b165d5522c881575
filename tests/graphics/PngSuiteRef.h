// Reference pixels of the PngSuite images (testdata/pngsuite/json: flat arrays of RGBA samples).
#pragma once
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace pngsuite {

inline const std::filesystem::path& Dir() {
  static const std::filesystem::path dir = std::filesystem::path(KX_SHARED_DIR) / "testdata" / "pngsuite";
  return dir;
}

// Names (without extension) of the PNG files, sorted.
inline std::vector<std::string> PngNames() {
  std::vector<std::string> names;
  for (auto& e : std::filesystem::directory_iterator(Dir() / "png"))
    if (e.path().extension() == ".png") names.push_back(e.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

// RGBA samples of an image, top row first; 16-bit samples reduced to their high byte (the
// decoders' rule), so every value is 0..255.
inline std::vector<int> Reference(const std::string& name) {
  std::ifstream f(Dir() / "json" / (name + ".json"));
  std::string text{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
  std::vector<int> out;
  int v = 0;
  bool in = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      v = v * 10 + (c - '0');
      in = true;
    } else if (in) {
      out.push_back(v);
      v = 0;
      in = false;
    }
  }
  if (std::any_of(out.begin(), out.end(), [](int s) { return s > 255; }))
    for (int& s : out) s >>= 8;
  return out;
}

}  // namespace pngsuite
