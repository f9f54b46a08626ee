// Streams: every byte the framework reads or writes goes through one of these.
#pragma once

#include <cstdint>
#include <functional>

#include "core/object.h"
#include "core/system.h"

namespace tavelo {

enum TSeekOrigin : std::uint16_t { soBeginning = 0, soCurrent = 1, soEnd = 2 };

// File stream modes: fmCreate, or an access in the low two bits and a sharing mode above.
inline constexpr std::uint16_t fmCreate = 0xFFFF;
inline constexpr std::uint16_t fmOpenRead = 0x0000;
inline constexpr std::uint16_t fmOpenWrite = 0x0001;
inline constexpr std::uint16_t fmOpenReadWrite = 0x0002;
inline constexpr std::uint16_t fmShareCompat = 0x0000;
inline constexpr std::uint16_t fmShareExclusive = 0x0010;
inline constexpr std::uint16_t fmShareDenyWrite = 0x0020;
inline constexpr std::uint16_t fmShareDenyRead = 0x0030;
inline constexpr std::uint16_t fmShareDenyNone = 0x0040;

class TStream : public TObject {
  TAVELO_CLASS(TStream, TObject)
public:
  virtual void SetSize(std::int32_t newSize);
  // Checks the 32-bit range (SRangeError), then SetSize.
  virtual void SetSize64(std::int64_t newSize);
  // Bytes actually moved.
  virtual std::int32_t Read(void* buffer, std::int32_t count) = 0;
  virtual std::int32_t Write(const void* buffer, std::int32_t count) = 0;
  // A concrete stream overrides one of the two seeks; the other bridges to it.
  virtual std::int32_t Seek(std::int32_t offset, TSeekOrigin origin);
  virtual std::int64_t Seek64(std::int64_t offset, TSeekOrigin origin);

  std::int64_t Position() { return Seek64(0, soCurrent); }
  void SetPosition(std::int64_t value) { Seek64(value, soBeginning); }
  std::int64_t Size();

  // Raise EReadError SReadError / EWriteError SWriteError when fewer bytes move than asked.
  void ReadBuffer(void* buffer, std::int32_t count);
  void WriteBuffer(const void* buffer, std::int32_t count);
  // Copies count bytes of source, or all of it from its beginning when count is 0.
  std::int64_t CopyFrom(TStream& source, std::int64_t count);

private:
  bool bridgingSeek_ = false;
};

// A stream over a platform file handle that someone else owns.
class THandleStream : public TStream {
  TAVELO_CLASS(THandleStream, TStream)
public:
  explicit THandleStream(sys::THandle handle) : handle_(handle) {}
  sys::THandle Handle() const { return handle_; }

  std::int32_t Read(void* buffer, std::int32_t count) override;
  std::int32_t Write(const void* buffer, std::int32_t count) override;
  std::int64_t Seek64(std::int64_t offset, TSeekOrigin origin) override;
  void SetSize64(std::int64_t newSize) override;
  void SetSize(std::int32_t newSize) override { SetSize64(newSize); }

protected:
  sys::THandle handle_;
};

// A stream over a file it opens (or creates) itself and closes when destroyed.
class TFileStream : public THandleStream {
  TAVELO_CLASS(TFileStream, THandleStream)
public:
  // Raises EFCreateError SFCreateError or EFOpenError SFOpenError with the path as given.
  TFileStream(const String& fileName, std::uint16_t mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;
  const String& FileName() const { return fileName_; }

private:
  String fileName_;
};

// A stream over a block of memory.
class TCustomMemoryStream : public TStream {
  TAVELO_CLASS(TCustomMemoryStream, TStream)
public:
  std::int32_t Read(void* buffer, std::int32_t count) override;
  std::int32_t Seek(std::int32_t offset, TSeekOrigin origin) override;
  void SaveToStream(TStream& stream);
  void SaveToFile(const String& fileName);
  void* Memory() const { return memory_; }

protected:
  void SetPointer(void* memory, std::int32_t size);
  std::int32_t size_ = 0;
  std::int32_t position_ = 0;

private:
  void* memory_ = nullptr;
};

class TMemoryStream : public TCustomMemoryStream {
  TAVELO_CLASS(TMemoryStream, TCustomMemoryStream)
public:
  static constexpr std::int32_t kMemoryDelta = 8192;

  TMemoryStream() = default;
  ~TMemoryStream() override;
  TMemoryStream(const TMemoryStream&) = delete;
  TMemoryStream& operator=(const TMemoryStream&) = delete;

  void Clear();
  void LoadFromStream(TStream& stream);
  void LoadFromFile(const String& fileName);
  void SetSize(std::int32_t newSize) override;
  std::int32_t Write(const void* buffer, std::int32_t count) override;
  std::int32_t Capacity() const { return capacity_; }
  void SetCapacity(std::int32_t newCapacity);

protected:
  // Resizes the block to newCapacity (rounded up to 8192 bytes unless it equals the size);
  // returns the block. Raises EStreamError SMemoryStreamError when the memory cannot be
  // had.
  virtual void* Realloc(std::int32_t& newCapacity);

private:
  std::int32_t capacity_ = 0;
};

// A read-only stream over a module's resource.
class TResourceStream : public TCustomMemoryStream {
  TAVELO_CLASS(TResourceStream, TCustomMemoryStream)
public:
  // Raises EResNotFound SResNotFound with the name.
  TResourceStream(sys::TModule module, const String& name, int type);
  // Raises EStreamError SCantWriteResourceStream.
  std::int32_t Write(const void* buffer, std::int32_t count) override;
};

// Writes a file without ever losing the one it replaces: the bytes go to a new file in the
// same folder, reach the disk, and only then take the old file's place, keeping its
// permissions and owner; through a symbolic link, the file it names is the one written and
// the link stays. A failure leaves the old file as it was and raises EFCreateError
// SFCreateError (the folder refuses the new file, or the old one cannot be replaced) or the
// writer's error.
void SaveFileSafely(const String& fileName, const std::function<void(TStream&)>& write);

}  // namespace tavelo
