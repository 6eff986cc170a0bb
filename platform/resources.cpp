/** @file resources.cpp The registry of embedded files, and the streams OpenResource opens over it or the disk. */
#include "platform/resources.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

struct Entry {
  std::string Name;
  const uint8_t* Data;
  int32_t Size;
};

// Newest first, as a singly linked list would walk it.
std::vector<Entry>& Entries() {
  static std::vector<Entry> entries;
  return entries;
}

const Entry* Find(const std::string& name) {
  auto& entries = Entries();
  for (auto it = entries.rbegin(); it != entries.rend(); ++it)
    if (it->Name == name) return &*it;
  return nullptr;
}

bool SameLetters(const std::string& a, const char* b) {
  size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i) {
    char c = a[i];
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (c != b[i]) return false;
  }
  return true;
}

// The embedded files answer "incbin", in any case, and only for reading.
std::unique_ptr<ResourceStream> EmbeddedSource(const std::string& protocol, const std::string& path, OpenMode mode) {
  if (mode != OpenMode::Read || !SameLetters(protocol, "incbin")) return nullptr;
  const Entry* entry = Find(path);
  if (!entry) return nullptr;
  return std::make_unique<ResourceStream>(entry->Data, size_t(entry->Size), true);
}

std::vector<StreamSource>& Sources() {
  static std::vector<StreamSource> sources{EmbeddedSource};
  return sources;
}

std::unique_ptr<ResourceStream> OpenDiskFile(const std::string& path, OpenMode mode) {
  if (mode != OpenMode::Read) return nullptr;
  std::ifstream in(path, std::ios::binary);
  if (!in) return nullptr;
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return std::make_unique<ResourceStream>(std::move(bytes));
}

}  // namespace

int32_t Register(const std::string& name, const uint8_t* data, int32_t size) {
  if (Find(name)) return 0;
  Entries().push_back({name, data, size});
  return 1;
}

const uint8_t* DataOf(const std::string& name) {
  const Entry* entry = Find(name);
  return entry ? entry->Data : nullptr;
}

int32_t SizeOf(const std::string& name) {
  const Entry* entry = Find(name);
  return entry ? entry->Size : 0;
}

void ClearRegistry() { Entries().clear(); }

size_t ResourceStream::Read(void* into, size_t count) {
  size_t n = std::min(count, size_ - position_);
  if (n > 0) std::memcpy(into, data_ + position_, n);
  position_ += n;
  return n;
}

void AddStreamSource(StreamSource source) { Sources().push_back(std::move(source)); }

std::unique_ptr<ResourceStream> OpenResource(const std::string& name, OpenMode mode) {
  size_t split = name.find("::");
  if (split == std::string::npos) return OpenDiskFile(name, mode);
  std::string protocol = name.substr(0, split);
  std::string path = name.substr(split + 2);
  for (const auto& source : Sources())
    if (auto stream = source(protocol, path, mode)) return stream;
  return nullptr;
}
