#include "core/streams.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/exceptions.h"
#include "core/rtlconsts.h"
#include "core/typinfo.h"

namespace tavelo {

TAVELO_CLASS_IMPL(TStream)
TAVELO_CLASS_IMPL(THandleStream)
TAVELO_CLASS_IMPL(TFileStream)
TAVELO_CLASS_IMPL(TCustomMemoryStream)
TAVELO_CLASS_IMPL(TMemoryStream)
TAVELO_CLASS_IMPL(TResourceStream)

namespace {

void CheckRange32(std::int64_t value) {
  if (value < INT_MIN || value > INT_MAX) throw ERangeError(SRangeError);
}

}  // namespace

// ---- TStream ----

void TStream::SetSize(std::int32_t) {}

void TStream::SetSize64(std::int64_t newSize) {
  CheckRange32(newSize);
  SetSize(static_cast<std::int32_t>(newSize));
}

// The base seeks call each other; a stream that overrides neither would loop, so the second
// arrival at the 32-bit seek is the sign that nobody implements seeking.
std::int32_t TStream::Seek(std::int32_t offset, TSeekOrigin origin) {
  if (bridgingSeek_) throw EStreamError(SSeekNotImplemented, {ClassName()});
  bridgingSeek_ = true;
  std::int64_t result;
  try {
    result = Seek64(offset, origin);
  } catch (...) {
    bridgingSeek_ = false;
    throw;
  }
  bridgingSeek_ = false;
  return static_cast<std::int32_t>(result);
}

std::int64_t TStream::Seek64(std::int64_t offset, TSeekOrigin origin) {
  CheckRange32(offset);
  return Seek(static_cast<std::int32_t>(offset), origin);
}

std::int64_t TStream::Size() {
  std::int64_t position = Seek64(0, soCurrent);
  std::int64_t size = Seek64(0, soEnd);
  Seek64(position, soBeginning);
  return size;
}

void TStream::ReadBuffer(void* buffer, std::int32_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError(SReadError);
}

void TStream::WriteBuffer(const void* buffer, std::int32_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError(SWriteError);
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
  constexpr std::int64_t kMaxBufferSize = 61440;
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  std::int64_t bufferSize = count < kMaxBufferSize ? count : kMaxBufferSize;
  if (bufferSize <= 0) return count;
  std::unique_ptr<char[]> buffer(new char[static_cast<std::size_t>(bufferSize)]);
  for (std::int64_t remaining = count; remaining > 0;) {
    auto n = static_cast<std::int32_t>(remaining < bufferSize ? remaining : bufferSize);
    source.ReadBuffer(buffer.get(), n);
    WriteBuffer(buffer.get(), n);
    remaining -= n;
  }
  return count;
}

// ---- THandleStream, TFileStream ----

std::int32_t THandleStream::Read(void* buffer, std::int32_t count) { return sys::FileRead(handle_, buffer, count); }

std::int32_t THandleStream::Write(const void* buffer, std::int32_t count) {
  return sys::FileWrite(handle_, buffer, count);
}

std::int64_t THandleStream::Seek64(std::int64_t offset, TSeekOrigin origin) {
  return sys::FileSeek(handle_, offset, static_cast<sys::TFileOrigin>(origin));
}

void THandleStream::SetSize64(std::int64_t newSize) {
  Seek64(newSize, soBeginning);
  if (!sys::FileSetEnd(handle_)) RaiseLastOSError();
}

namespace {

sys::THandle OpenFile(const String& fileName, std::uint16_t mode) {
  static const sys::TFileShare kShare[] = {sys::TFileShare::Exclusive, sys::TFileShare::Exclusive,
                                           sys::TFileShare::DenyWrite, sys::TFileShare::DenyRead,
                                           sys::TFileShare::DenyNone};
  unsigned access = mode & 3u, share = (mode & 0xF0u) >> 4;
  if (access == 3 || share > 4) return sys::kInvalidHandle;
  return sys::FileOpen(fileName, static_cast<sys::TFileAccess>(access), kShare[share]);
}

}  // namespace

TFileStream::TFileStream(const String& fileName, std::uint16_t mode)
    : THandleStream(sys::kInvalidHandle), fileName_(fileName) {
  if (mode == fmCreate) {
    handle_ = sys::FileCreate(fileName);
    if (handle_ == sys::kInvalidHandle) throw EFCreateError(SFCreateError, {fileName});
  } else {
    handle_ = OpenFile(fileName, mode);
    if (handle_ == sys::kInvalidHandle) throw EFOpenError(SFOpenError, {fileName});
  }
}

TFileStream::~TFileStream() { sys::FileClose(handle_); }

// ---- TCustomMemoryStream ----

void TCustomMemoryStream::SetPointer(void* memory, std::int32_t size) {
  memory_ = memory;
  size_ = size;
}

std::int32_t TCustomMemoryStream::Read(void* buffer, std::int32_t count) {
  if (position_ < 0 || count < 0) return 0;
  std::int32_t n = size_ - position_;
  if (n <= 0) return 0;
  if (n > count) n = count;
  std::memcpy(buffer, static_cast<char*>(memory_) + position_, static_cast<std::size_t>(n));
  position_ += n;
  return n;
}

std::int32_t TCustomMemoryStream::Seek(std::int32_t offset, TSeekOrigin origin) {
  // No bounds: a position past the end reads nothing and the next write extends the stream.
  std::int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? position_ : size_;
  position_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(base + offset));
  return position_;
}

void TCustomMemoryStream::SaveToStream(TStream& stream) { stream.WriteBuffer(memory_, size_); }

void TCustomMemoryStream::SaveToFile(const String& fileName) {
  SaveFileSafely(fileName, [this](TStream& stream) { SaveToStream(stream); });
}

// ---- TMemoryStream ----

TMemoryStream::~TMemoryStream() { Clear(); }

void TMemoryStream::Clear() {
  SetCapacity(0);
  size_ = 0;
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
  stream.SetPosition(0);
  std::int64_t count = stream.Size();
  SetSize64(count);
  if (count != 0) stream.ReadBuffer(Memory(), static_cast<std::int32_t>(count));
}

void TMemoryStream::LoadFromFile(const String& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(stream);
}

void TMemoryStream::SetCapacity(std::int32_t newCapacity) {
  void* block = Realloc(newCapacity);
  SetPointer(block, size_);
  capacity_ = newCapacity;
}

void* TMemoryStream::Realloc(std::int32_t& newCapacity) {
  if (newCapacity < 0) throw EStreamError(SMemoryStreamError);
  if (newCapacity > 0 && newCapacity != size_) {
    std::int64_t rounded = (static_cast<std::int64_t>(newCapacity) + (kMemoryDelta - 1)) & ~std::int64_t{kMemoryDelta - 1};
    if (rounded > INT_MAX) throw EStreamError(SMemoryStreamError);
    newCapacity = static_cast<std::int32_t>(rounded);
  }
  void* block = Memory();
  if (newCapacity != capacity_) {
    if (newCapacity == 0) {
      std::free(block);
      block = nullptr;
    } else {
      block = std::realloc(block, static_cast<std::size_t>(newCapacity));
      if (!block) throw EStreamError(SMemoryStreamError);
    }
  }
  return block;
}

void TMemoryStream::SetSize(std::int32_t newSize) {
  std::int32_t oldPosition = position_;
  SetCapacity(newSize);
  size_ = newSize;
  if (oldPosition > newSize) Seek(0, soEnd);
}

std::int32_t TMemoryStream::Write(const void* buffer, std::int32_t count) {
  if (position_ < 0 || count < 0) return 0;
  std::int64_t end = static_cast<std::int64_t>(position_) + count;
  if (end <= 0) return 0;
  if (end > INT_MAX) throw EStreamError(SMemoryStreamError);
  auto end32 = static_cast<std::int32_t>(end);
  if (end32 > size_) {
    if (end32 > capacity_) SetCapacity(end32);
    size_ = end32;
  }
  std::memcpy(static_cast<char*>(Memory()) + position_, buffer, static_cast<std::size_t>(count));
  position_ = end32;
  return count;
}

// ---- TResourceStream ----

TResourceStream::TResourceStream(sys::TModule module, const String& name, int type) {
  const void* data = nullptr;
  std::int32_t size = 0;
  if (!sys::FindResource(module, name, type, data, size)) throw EResNotFound(SResNotFound, {name});
  // Resources are read-only; Write refuses, so the block is never written through.
  SetPointer(const_cast<void*>(data), size);
}

std::int32_t TResourceStream::Write(const void*, std::int32_t) {
  throw EStreamError(SCantWriteResourceStream);
}

// ---- Saving without loss ----

void SaveFileSafely(const String& fileName, const std::function<void(TStream&)>& write) {
  // Through a link, the file it names is the one replaced, from beside it; the link stays.
  String target = sys::FileTarget(fileName);
  if (target.empty()) throw EFCreateError(SFCreateError, {fileName});
  String temporary;
  sys::THandle handle = sys::kInvalidHandle;
  for (int attempt = 0; attempt < 100 && handle == sys::kInvalidHandle; ++attempt) {
    temporary = Format("%s.~%d.tmp", {target, attempt});
    handle = sys::FileCreateNew(temporary);
    // Only a name already taken is worth another try; anything else is the folder refusing.
    if (handle == sys::kInvalidHandle && !sys::FileExists(temporary)) break;
  }
  if (handle == sys::kInvalidHandle) throw EFCreateError(SFCreateError, {fileName});
  try {
    // Before any byte goes in, so that a private file's text is never readable to others.
    if (!sys::FileTakeAttributes(handle, target)) throw EFCreateError(SFCreateError, {fileName});
    THandleStream stream(handle);
    write(stream);
    if (!sys::FileFlush(handle)) throw EWriteError(SWriteError);
    sys::FileClose(handle);
    handle = sys::kInvalidHandle;
    if (!sys::FileReplace(temporary, target)) throw EFCreateError(SFCreateError, {fileName});
  } catch (...) {
    sys::FileClose(handle);
    sys::FileDelete(temporary);
    throw;
  }
}

}  // namespace tavelo
