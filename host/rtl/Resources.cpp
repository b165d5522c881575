#include "host/rtl/Resources.h"

#include <cstdio>
#include <mutex>
#include <string>
#include <unordered_map>

#include "host/rtl/Streams.h"
#include "host/rtl/SysUtils.h"

namespace vcl {

namespace {

struct Entry {
  std::string type;  // folded
  std::string name;  // as registered
  ResourceData data;
};

struct Registry {
  std::mutex lock;
  std::vector<Entry> entries;
  std::unordered_map<std::string, size_t> index;  // folded "TYPE\0NAME" -> entry
};

// Constructed on first use, so registrations from static initialisers in any order are safe.
Registry& Resources() {
  static Registry registry;
  return registry;
}

std::string Fold(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string Key(std::string_view type, std::string_view name) {
  return Fold(type) + '\0' + Fold(name);
}

}  // namespace

void RegisterResource(const char* type, const char* name, const Byte* data, size_t size) {
  Registry& r = Resources();
  std::lock_guard guard(r.lock);
  auto [it, added] = r.index.emplace(Key(type, name), r.entries.size());
  if (!added) {
    std::fprintf(stderr, "Resource %s of type %s registered twice; the second one is ignored\n",
                 name, type);
    return;
  }
  r.entries.push_back(Entry{Fold(type), name, ResourceData{data, size}});
}

bool FindResource(StringView type, StringView name, ResourceData& out) {
  // Registered names come from C strings; one with a NUL in it cannot exist.
  if (type.find(u'\0') != StringView::npos || name.find(u'\0') != StringView::npos) return false;
  const std::string key = Key(StringToUtf8(type), StringToUtf8(name));
  Registry& r = Resources();
  std::lock_guard guard(r.lock);
  auto it = r.index.find(key);
  if (it == r.index.end()) return false;
  out = r.entries[it->second].data;
  return true;
}

std::vector<String> ResourceNames(StringView type) {
  const std::string folded = Fold(StringToUtf8(type));
  Registry& r = Resources();
  std::lock_guard guard(r.lock);
  std::vector<String> names;
  for (const Entry& e : r.entries)
    if (e.type == folded) names.push_back(Utf8ToString(e.name));
  return names;
}

TResourceStream::TResourceStream(const String& name, const String& type) {
  ResourceData res;
  if (!FindResource(type, name, res))
    throw EResNotFound(u"Resource " + name + u" of type " + type + u" not found");
  SetPointer(res.Data, static_cast<Int64>(res.Size));
}

}  // namespace vcl
