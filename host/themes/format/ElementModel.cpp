#include "host/themes/format/ElementModel.h"

#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace vcl {
namespace {

struct TNumbering {
  std::vector<TThemedElementDetails> Details;  // per row
  // Per family: rows by part, each the list of rows by state - 1 (root: part 0, one row).
  std::vector<std::vector<std::vector<int>>> Parts;
  std::unordered_map<std::string_view, int> ByName;
};

const TNumbering& Numbering() {
  static const TNumbering n = [] {
    TNumbering r;
    auto rows = ElementEntries();
    r.Details.resize(rows.size());
    r.Parts.resize(ElementFamilies().size());
    for (const TFamilyInfo& f : ElementFamilies()) {
      auto& parts = r.Parts[int(f.Element)];
      parts.emplace_back();  // part 0: the root, when the family has one
      std::unordered_map<std::string_view, int> partOfPath;
      for (int i = f.First; i < f.First + f.Count; ++i) {
        const TElementEntry& e = rows[i];
        if (std::strcmp(e.Path, "root") == 0) {
          parts[0].assign(1, i);
          r.Details[i] = {f.Element, 0, 0};
          continue;
        }
        auto [it, added] = partOfPath.try_emplace(e.Path, int(parts.size()));
        if (added) parts.emplace_back();
        auto& states = parts[it->second];
        states.push_back(i);
        r.Details[i] = {f.Element, it->second, int(states.size())};
      }
    }
    for (size_t i = 0; i < rows.size(); ++i) r.ByName.emplace(rows[i].Name, int(i));
    return r;
  }();
  return n;
}

}  // namespace

TThemedElementDetails DetailsOfEntry(int index) { return Numbering().Details[size_t(index)]; }

int EntryOfDetails(const TThemedElementDetails& d) {
  const TNumbering& n = Numbering();
  if (int(d.Element) < 0 || size_t(d.Element) >= n.Parts.size()) return -1;
  const auto& parts = n.Parts[size_t(d.Element)];
  if (d.Part < 0 || size_t(d.Part) >= parts.size()) return -1;
  const auto& states = parts[size_t(d.Part)];
  if (states.empty()) return -1;
  if (d.Part == 0) return states[0];  // the root has a single state
  if (d.State < 1 || size_t(d.State) > states.size()) return -1;
  return states[size_t(d.State) - 1];
}

int EntryOfName(std::string_view name) {
  const auto& m = Numbering().ByName;
  auto it = m.find(name);
  return it == m.end() ? -1 : it->second;
}

const char* ElementDetailsName(const TThemedElementDetails& details) {
  int i = EntryOfDetails(details);
  return i < 0 ? "" : ElementEntries()[size_t(i)].Name;
}

}  // namespace vcl
