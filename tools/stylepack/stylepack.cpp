// stylepack: checks a style source and writes it as a packed style file.
//
//   stylepack [--strict] INPUT.style OUTPUT.vsf
//
// The source is parsed completely, so a style with any error fails the build with the file and
// line. --strict also demands a complete style: every style colour, text colour and system
// colour, and a text colour for every element. The output is written to a temporary file and
// renamed into place.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "host/themes/format/StyleFormat.h"

int main(int argc, char** argv) {
  bool strict = false;
  int arg = 1;
  if (arg < argc && std::string(argv[arg]) == "--strict") {
    strict = true;
    ++arg;
  }
  if (argc - arg != 2) {
    std::cerr << "usage: stylepack [--strict] INPUT.style OUTPUT.vsf\n";
    return 2;
  }
  std::string input = argv[arg], output = argv[arg + 1];
  std::ifstream in(input, std::ios::binary);
  if (!in) {
    std::cerr << "stylepack: cannot read " << input << "\n";
    return 1;
  }
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  try {
    vcl::TStyleSource style = vcl::ParseStyleSource(text, vcl::Utf8ToString(input));
    if (strict) {
      auto problems = vcl::StyleCompletenessProblems(style);
      if (!problems.empty()) {
        std::cerr << input << ": the style is incomplete; it lacks:\n";
        for (const std::string& p : problems) std::cerr << "  " << p << "\n";
        return 1;
      }
    }
    std::vector<vcl::Byte> packed = vcl::PackStyleSource(text);
    std::string tmp = output + ".tmp";
    {
      std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(packed.data()), std::streamsize(packed.size()));
      if (!out) {
        std::cerr << "stylepack: cannot write " << tmp << "\n";
        return 1;
      }
    }
    if (std::rename(tmp.c_str(), output.c_str()) != 0) {
      std::cerr << "stylepack: cannot rename " << tmp << " to " << output << "\n";
      return 1;
    }
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return 0;
}
