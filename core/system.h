// The one narrow seam through which the portable core reaches the operating system: files,
// locale string comparison, module resources, locks and the module's identity. It has a
// Win32 side and a POSIX side; nothing else in the core knows which one it runs on.
#pragma once

#include <cstdint>
#include <memory>

#include "core/sysutils.h"

namespace tavelo::sys {

using THandle = std::intptr_t;
inline constexpr THandle kInvalidHandle = -1;
// A loaded module; 0 is the program itself.
using TModule = std::intptr_t;

enum class TFileAccess { Read, Write, ReadWrite };
enum class TFileShare { Exclusive, DenyWrite, DenyRead, DenyNone };
enum class TFileOrigin { Beginning = 0, Current = 1, End = 2 };

// Paths are ANSI text, as everywhere in the system. kInvalidHandle on failure, with the
// reason left in LastError().
THandle FileOpen(const String& path, TFileAccess access, TFileShare share);
// Read and write access, no sharing, an existing file replaced.
THandle FileCreate(const String& path);
// Like FileCreate, but fails when the file exists.
THandle FileCreateNew(const String& path);
// Bytes moved; a failure moves 0 bytes.
std::int32_t FileRead(THandle handle, void* buffer, std::int32_t count);
std::int32_t FileWrite(THandle handle, const void* buffer, std::int32_t count);
// The new position, or -1 on failure.
std::int64_t FileSeek(THandle handle, std::int64_t offset, TFileOrigin origin);
// Ends the file at the current position.
bool FileSetEnd(THandle handle);
// Puts what was written on the disk itself.
bool FileFlush(THandle handle);
void FileClose(THandle handle);
// Moves source over target in one step, so that target is either the old or the new file.
bool FileReplace(const String& source, const String& target);
bool FileDelete(const String& path);
bool FileExists(const String& path);

// Tests replace the write primitive to simulate a full disk; returns the previous one.
using TFileWriteFn = std::int32_t (*)(THandle handle, const void* buffer, std::int32_t count);
TFileWriteFn SetFileWriteForTesting(TFileWriteFn write);

unsigned LastError();
void SetLastError(unsigned code);
// The platform's text for an error code, without a trailing line break.
String ErrorText(unsigned code);

// The user's locale order: <0, 0 or >0.
int CompareLocale(const String& a, const String& b, bool ignoreCase);

// A resource's bytes, found by type and name (names compare without regard to case). Bytes
// registered with RegisterResource are found first, then the module's own resources.
bool FindResource(TModule module, const String& name, int type, const void*& data, std::int32_t& size);
void RegisterResource(const String& name, int type, const void* data, std::int32_t size);
inline constexpr int kRcData = 10;

// The keyboard: the platform's name for a virtual key (empty when it has none), and whether
// a key is held down now. The native build has no keyboard: a few names, nothing held.
String KeyName(int virtualKey);
bool KeyDown(int virtualKey);

String ModuleFileName();
// The address the program's module is loaded at, for addresses relative to it.
const void* ModuleBase();
bool IsConsoleProgram();
void ShowErrorBox(const String& caption, const String& text);
void WriteStdOut(const String& text);

// A lock that the thread holding it may take again.
class TCriticalSection {
public:
  TCriticalSection();
  ~TCriticalSection();
  TCriticalSection(const TCriticalSection&) = delete;
  TCriticalSection& operator=(const TCriticalSection&) = delete;
  void Enter();
  void Leave();

private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

// Holds a critical section for a scope.
class TLockGuard {
public:
  explicit TLockGuard(TCriticalSection& lock) : lock_(lock) { lock_.Enter(); }
  ~TLockGuard() { lock_.Leave(); }
  TLockGuard(const TLockGuard&) = delete;
  TLockGuard& operator=(const TLockGuard&) = delete;

private:
  TCriticalSection& lock_;
};

}  // namespace tavelo::sys
