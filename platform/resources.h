/** @file resources.h Embedded files: their registry and the "protocol::path" names loaders open them by. */
// Embedded files: a registry of the font and pictures that live inside the
// executable, and the "protocol::path" names through which loaders open them.
//
// A name such as "incbin::hat.png" has the protocol "incbin" (any case) and
// the path "hat.png" (exact). A name without "::" is an ordinary file path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Adds an entry at the front of the registry; 0 and no change when the name is taken.
// The bytes must stay readable for the rest of the run: pictures loaded from
// them are decoded when their pixels are first wanted.
int32_t Register(const std::string& name, const uint8_t* data, int32_t size);
// The bytes of a registered file, or null.
const uint8_t* DataOf(const std::string& name);
// The size of a registered file, or 0.
int32_t SizeOf(const std::string& name);
// Forgets every registration (tests build a fresh world in one process).
void ClearRegistry();

// A read-only stream over bytes that live elsewhere (or that it owns, for disk files).
class ResourceStream {
 public:
  // Bytes that live elsewhere; lasting when they stay readable for the rest of the run.
  ResourceStream(const uint8_t* data, size_t size, bool lasting = false)
      : data_(data), size_(size), lasting_(lasting) {}
  explicit ResourceStream(std::vector<uint8_t> owned)
      : owned_(std::move(owned)), data_(owned_.data()), size_(owned_.size()) {}
  // Copies up to count bytes; returns how many were copied (0 at the end).
  size_t Read(void* into, size_t count);
  size_t Size() const { return size_; }
  size_t Position() const { return position_; }
  bool AtEnd() const { return position_ >= size_; }
  const uint8_t* Data() const { return data_; }
  // Whether Data() stays readable after the stream is gone (an embedded file's bytes do).
  bool Lasting() const { return lasting_; }

 private:
  std::vector<uint8_t> owned_;
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
  bool lasting_ = false;
};

enum class OpenMode { Read, Write };

// A stream source answers a protocol and path, or yields nothing.
using StreamSource =
    std::function<std::unique_ptr<ResourceStream>(const std::string& protocol, const std::string& path, OpenMode)>;
// Offers later names to a further source, after the embedded-file source.
void AddStreamSource(StreamSource source);
// Opens a resource name; null when no source yields a stream.
std::unique_ptr<ResourceStream> OpenResource(const std::string& name, OpenMode mode = OpenMode::Read);
