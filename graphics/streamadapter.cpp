#include "graphics/streamadapter.h"

#include <cstring>

namespace tavelo {

HRESULT TStreamAdapter::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ISequentialStream) || IsEqualIID(iid, IID_IStream)) {
    *object = static_cast<IStream*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT TStreamAdapter::Read(void* buffer, ULONG count, ULONG* read) {
  if (read) *read = 0;
  if (!buffer) return STG_E_INVALIDPOINTER;
  try {
    std::int32_t n = stream_.Read(buffer, static_cast<std::int32_t>(count > 0x7FFFFFFF ? 0x7FFFFFFF : count));
    if (read) *read = static_cast<ULONG>(n);
    return S_OK;
  } catch (...) {
    return STG_E_READFAULT;
  }
}

HRESULT TStreamAdapter::Write(const void* buffer, ULONG count, ULONG* written) {
  if (written) *written = 0;
  if (!buffer) return STG_E_INVALIDPOINTER;
  try {
    std::int32_t n = stream_.Write(buffer, static_cast<std::int32_t>(count > 0x7FFFFFFF ? 0x7FFFFFFF : count));
    if (written) *written = static_cast<ULONG>(n);
    return static_cast<ULONG>(n) == count ? S_OK : STG_E_MEDIUMFULL;
  } catch (...) {
    return STG_E_WRITEFAULT;
  }
}

HRESULT TStreamAdapter::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) {
  if (origin > STREAM_SEEK_END) return STG_E_INVALIDFUNCTION;
  try {
    std::int64_t at = stream_.Seek64(move.QuadPart, static_cast<TSeekOrigin>(origin));
    if (at < 0) return STG_E_INVALIDFUNCTION;
    if (position) position->QuadPart = static_cast<ULONGLONG>(at);
    return S_OK;
  } catch (...) {
    return STG_E_INVALIDFUNCTION;
  }
}

HRESULT TStreamAdapter::SetSize(ULARGE_INTEGER size) {
  try {
    stream_.SetSize64(static_cast<std::int64_t>(size.QuadPart));
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT TStreamAdapter::CopyTo(IStream* target, ULARGE_INTEGER count, ULARGE_INTEGER* read,
                               ULARGE_INTEGER* written) {
  if (read) read->QuadPart = 0;
  if (written) written->QuadPart = 0;
  if (!target) return STG_E_INVALIDPOINTER;
  char buffer[8192];
  ULONGLONG left = count.QuadPart;
  while (left > 0) {
    ULONG chunk = static_cast<ULONG>(left < sizeof buffer ? left : sizeof buffer), got = 0, put = 0;
    HRESULT result = Read(buffer, chunk, &got);
    if (FAILED(result)) return result;
    if (got == 0) break;
    result = target->Write(buffer, got, &put);
    if (read) read->QuadPart += got;
    if (written) written->QuadPart += put;
    if (FAILED(result)) return result;
    left -= got;
  }
  return S_OK;
}

HRESULT TStreamAdapter::Stat(STATSTG* stat, DWORD) {
  if (!stat) return STG_E_INVALIDPOINTER;
  std::memset(stat, 0, sizeof *stat);
  stat->type = STGTY_STREAM;
  try {
    stat->cbSize.QuadPart = static_cast<ULONGLONG>(stream_.Size());
  } catch (...) {
    return STG_E_ACCESSDENIED;
  }
  return S_OK;
}

HRESULT TStreamAdapter::Clone(IStream** clone) {
  if (clone) *clone = nullptr;
  return E_NOTIMPL;
}

}  // namespace tavelo
