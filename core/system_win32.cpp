// The Win32 side of the system seam.
#include <windows.h>
// The seam has its own FindResource; the platform header makes that name a macro.
#undef FindResource

#include "core/system_internal.h"

namespace tavelo::sys {

namespace {

HANDLE Native(THandle handle) { return reinterpret_cast<HANDLE>(handle); }

THandle Opened(HANDLE handle) {
  return handle == INVALID_HANDLE_VALUE ? kInvalidHandle : reinterpret_cast<THandle>(handle);
}

std::int32_t Win32Write(THandle handle, const void* buffer, std::int32_t count) {
  DWORD written = 0;
  if (count <= 0 || !::WriteFile(Native(handle), buffer, static_cast<DWORD>(count), &written, nullptr)) return 0;
  return static_cast<std::int32_t>(written);
}

TFileWriteFn gWrite = Win32Write;

HMODULE ModuleHandle(TModule module) {
  return module == 0 ? ::GetModuleHandleA(nullptr) : reinterpret_cast<HMODULE>(module);
}

}  // namespace

THandle FileOpen(const String& path, TFileAccess access, TFileShare share) {
  static const DWORD kAccess[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
  static const DWORD kShare[] = {0, FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE};
  return Opened(::CreateFileA(path.c_str(), kAccess[static_cast<int>(access)], kShare[static_cast<int>(share)],
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

THandle FileCreate(const String& path) {
  return Opened(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
}

THandle FileCreateNew(const String& path) {
  return Opened(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::int32_t FileRead(THandle handle, void* buffer, std::int32_t count) {
  DWORD read = 0;
  if (count <= 0 || !::ReadFile(Native(handle), buffer, static_cast<DWORD>(count), &read, nullptr)) return 0;
  return static_cast<std::int32_t>(read);
}

std::int32_t FileWrite(THandle handle, const void* buffer, std::int32_t count) {
  return gWrite(handle, buffer, count);
}

TFileWriteFn SetFileWriteForTesting(TFileWriteFn write) {
  TFileWriteFn previous = gWrite;
  gWrite = write ? write : Win32Write;
  return previous;
}

std::int64_t FileSeek(THandle handle, std::int64_t offset, TFileOrigin origin) {
  LARGE_INTEGER distance, result;
  distance.QuadPart = offset;
  if (!::SetFilePointerEx(Native(handle), distance, &result, static_cast<DWORD>(origin))) return -1;
  return result.QuadPart;
}

bool FileSetEnd(THandle handle) { return ::SetEndOfFile(Native(handle)) != 0; }
bool FileFlush(THandle handle) { return ::FlushFileBuffers(Native(handle)) != 0; }

void FileClose(THandle handle) {
  if (handle != kInvalidHandle) ::CloseHandle(Native(handle));
}

bool FileReplace(const String& source, const String& target) {
  return ::MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool FileDelete(const String& path) { return ::DeleteFileA(path.c_str()) != 0; }

bool FileExists(const String& path) {
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

unsigned LastError() { return ::GetLastError(); }
void SetLastError(unsigned code) { ::SetLastError(code); }

String ErrorText(unsigned code) {
  char* buffer = nullptr;
  DWORD n = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                             nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  String text(buffer ? buffer : "", n);
  if (buffer) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' || text.back() == '.'))
    text.pop_back();
  return text;
}

int CompareLocale(const String& a, const String& b, bool ignoreCase) {
  int result = ::CompareStringA(LOCALE_USER_DEFAULT, ignoreCase ? NORM_IGNORECASE : 0, a.data(),
                                static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()));
  return result - CSTR_EQUAL;
}

bool FindResource(TModule module, const String& name, int type, const void*& data, std::int32_t& size) {
  if (FindRegisteredResource(name, type, data, size)) return true;
  HMODULE handle = ModuleHandle(module);
  HRSRC info = ::FindResourceA(handle, name.c_str(), MAKEINTRESOURCEA(type));
  if (!info) return false;
  HGLOBAL loaded = ::LoadResource(handle, info);
  void* locked = loaded ? ::LockResource(loaded) : nullptr;
  if (!locked) return false;
  data = locked;
  size = static_cast<std::int32_t>(::SizeofResource(handle, info));
  return true;
}

String KeyName(int virtualKey) {
  LONG scanCode = static_cast<LONG>(::MapVirtualKeyA(static_cast<UINT>(virtualKey & 0xFF), 0)) << 16;
  if (scanCode == 0) return String();
  char buffer[256];
  int n = ::GetKeyNameTextA(scanCode, buffer, sizeof buffer);
  return n > 0 ? String(buffer, static_cast<std::size_t>(n)) : String();
}

bool KeyDown(int virtualKey) { return (::GetKeyState(virtualKey) & 0x8000) != 0; }

String ModuleFileName() {
  char buffer[MAX_PATH + 1];
  DWORD n = ::GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  return String(buffer, n);
}

const void* ModuleBase() { return ::GetModuleHandleA(nullptr); }

bool IsConsoleProgram() {
  auto base = reinterpret_cast<const unsigned char*>(::GetModuleHandleA(nullptr));
  auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  return nt->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_CUI;
}

void ShowErrorBox(const String& caption, const String& text) {
  ::MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

void WriteStdOut(const String& text) {
  DWORD written;
  ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

struct TCriticalSection::TImpl {
  CRITICAL_SECTION section;
};

TCriticalSection::TCriticalSection() : impl_(new TImpl) { ::InitializeCriticalSection(&impl_->section); }
TCriticalSection::~TCriticalSection() { ::DeleteCriticalSection(&impl_->section); }
void TCriticalSection::Enter() { ::EnterCriticalSection(&impl_->section); }
void TCriticalSection::Leave() { ::LeaveCriticalSection(&impl_->section); }

}  // namespace tavelo::sys
