// The POSIX side of the system seam, for the native build: file names are converted from
// the ANSI code page to UTF-8; sharing modes have no equivalent and are not enforced.
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "core/system_internal.h"

namespace tavelo::sys {

namespace {

std::int32_t PosixWrite(THandle handle, const void* buffer, std::int32_t count) {
  if (count <= 0) return 0;
  const char* p = static_cast<const char*>(buffer);
  std::int32_t done = 0;
  while (done < count) {
    ssize_t n = ::write(static_cast<int>(handle), p + done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::int32_t>(n);
  }
  return done;
}

TFileWriteFn gWrite = PosixWrite;

std::string Native(const String& path) { return AnsiToUtf8(path); }

THandle Opened(int fd) { return fd < 0 ? kInvalidHandle : static_cast<THandle>(fd); }

unsigned char Fold(unsigned char c) {
  // Windows-1252 letters: ASCII and the accented capitals and small letters of Latin-1.
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
  return c;
}

}  // namespace

THandle FileOpen(const String& path, TFileAccess access, TFileShare) {
  int flags = access == TFileAccess::Read ? O_RDONLY : access == TFileAccess::Write ? O_WRONLY : O_RDWR;
  int fd = ::open(Native(path).c_str(), flags | O_CLOEXEC);
  if (fd >= 0) {
    struct stat st;
    // Opening a folder is a failure here as on the platform proper.
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
      ::close(fd);
      errno = EISDIR;
      return kInvalidHandle;
    }
  }
  return Opened(fd);
}

THandle FileCreate(const String& path) {
  return Opened(::open(Native(path).c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
}

THandle FileCreateNew(const String& path) {
  return Opened(::open(Native(path).c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
}

std::int32_t FileRead(THandle handle, void* buffer, std::int32_t count) {
  if (count <= 0) return 0;
  char* p = static_cast<char*>(buffer);
  std::int32_t done = 0;
  while (done < count) {
    ssize_t n = ::read(static_cast<int>(handle), p + done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::int32_t>(n);
  }
  return done;
}

std::int32_t FileWrite(THandle handle, const void* buffer, std::int32_t count) {
  return gWrite(handle, buffer, count);
}

TFileWriteFn SetFileWriteForTesting(TFileWriteFn write) {
  TFileWriteFn previous = gWrite;
  gWrite = write ? write : PosixWrite;
  return previous;
}

std::int64_t FileSeek(THandle handle, std::int64_t offset, TFileOrigin origin) {
  int whence = origin == TFileOrigin::Beginning ? SEEK_SET : origin == TFileOrigin::Current ? SEEK_CUR : SEEK_END;
  off_t result = ::lseek(static_cast<int>(handle), static_cast<off_t>(offset), whence);
  return result < 0 ? -1 : static_cast<std::int64_t>(result);
}

bool FileSetEnd(THandle handle) {
  off_t here = ::lseek(static_cast<int>(handle), 0, SEEK_CUR);
  return here >= 0 && ::ftruncate(static_cast<int>(handle), here) == 0;
}

bool FileFlush(THandle handle) { return ::fsync(static_cast<int>(handle)) == 0; }

void FileClose(THandle handle) {
  if (handle != kInvalidHandle) ::close(static_cast<int>(handle));
}

bool FileReplace(const String& source, const String& target) {
  return ::rename(Native(source).c_str(), Native(target).c_str()) == 0;
}

bool FileDelete(const String& path) { return ::unlink(Native(path).c_str()) == 0; }

bool FileExists(const String& path) {
  struct stat st;
  return ::stat(Native(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

unsigned LastError() { return static_cast<unsigned>(errno); }
void SetLastError(unsigned code) { errno = static_cast<int>(code); }

String ErrorText(unsigned code) {
  char buffer[256];
  const char* text = ::strerror_r(static_cast<int>(code), buffer, sizeof buffer);
  return Utf8ToAnsi(text ? text : "");
}

int CompareLocale(const String& a, const String& b, bool ignoreCase) {
  std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (ignoreCase) {
      x = Fold(x);
      y = Fold(y);
    }
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool FindResource(TModule, const String& name, int type, const void*& data, std::int32_t& size) {
  return FindRegisteredResource(name, type, data, size);
}

String KeyName(int virtualKey) {
  // The keys of the numeric pad and the locks, as a French keyboard names them.
  switch (virtualKey & 0xFF) {
    case 0x13: return "Pause";
    case 0x14: return "Verr.maj";
    case 0x6A: return "* (pavé num.)";
    case 0x6B: return "+ (pavé num.)";
    case 0x6D: return "- (pavé num.)";
    case 0x6E: return ". (pavé num.)";
    case 0x6F: return "/ (pavé num.)";
    case 0x90: return "Verr.num";
    case 0x91: return "Arrêt défil";
    default: return String();
  }
}

bool KeyDown(int) { return false; }

String ModuleFileName() {
  char buffer[4096];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return n > 0 ? Utf8ToAnsi(std::string(buffer, static_cast<size_t>(n))) : String();
}

const void* ModuleBase() {
  Dl_info info;
  if (::dladdr(reinterpret_cast<void*>(&ModuleBase), &info) != 0) return info.dli_fbase;
  return nullptr;
}

bool IsConsoleProgram() { return true; }

void ShowErrorBox(const String& caption, const String& text) {
  WriteStdOut(caption + "\r\n" + text + "\r\n");
}

void WriteStdOut(const String& text) {
  std::string utf8 = AnsiToUtf8(text);
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fflush(stdout);
}

struct TCriticalSection::TImpl {
  pthread_mutex_t mutex;
};

TCriticalSection::TCriticalSection() : impl_(new TImpl) {
  pthread_mutexattr_t attr;
  pthread_mutexattr_init(&attr);
  pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(&impl_->mutex, &attr);
  pthread_mutexattr_destroy(&attr);
}

TCriticalSection::~TCriticalSection() { pthread_mutex_destroy(&impl_->mutex); }
void TCriticalSection::Enter() { pthread_mutex_lock(&impl_->mutex); }
void TCriticalSection::Leave() { pthread_mutex_unlock(&impl_->mutex); }

}  // namespace tavelo::sys
