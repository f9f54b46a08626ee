#include "core/exceptions.h"

#include <cstdint>

#include "core/rtlconsts.h"
#include "core/system.h"
#include "core/typinfo.h"

namespace tavelo {

// Out of line, so that the return address is the code that made the exception.
__attribute__((noinline)) Exception::Exception(const String& message)
    : message_(message), address_(__builtin_return_address(0)) {}

__attribute__((noinline)) Exception::Exception(const String& format, TFormatArgs args)
    : message_(Format(format, args)), address_(__builtin_return_address(0)) {}

TAVELO_CLASS_IMPL(Exception)
TAVELO_CLASS_IMPL(EAbort)
TAVELO_CLASS_IMPL(EHeapException)
TAVELO_CLASS_IMPL(EOutOfMemory)
TAVELO_CLASS_IMPL(EInvalidPointer)
TAVELO_CLASS_IMPL(EOutOfResources)
TAVELO_CLASS_IMPL(EExternal)
TAVELO_CLASS_IMPL(EIntError)
TAVELO_CLASS_IMPL(EDivByZero)
TAVELO_CLASS_IMPL(ERangeError)
TAVELO_CLASS_IMPL(EIntOverflow)
TAVELO_CLASS_IMPL(EMathError)
TAVELO_CLASS_IMPL(EInvalidOp)
TAVELO_CLASS_IMPL(EZeroDivide)
TAVELO_CLASS_IMPL(EOverflow)
TAVELO_CLASS_IMPL(EUnderflow)
TAVELO_CLASS_IMPL(EAccessViolation)
TAVELO_CLASS_IMPL(EPrivilege)
TAVELO_CLASS_IMPL(EStackOverflow)
TAVELO_CLASS_IMPL(EControlC)
TAVELO_CLASS_IMPL(EExternalException)
TAVELO_CLASS_IMPL(EInvalidCast)
TAVELO_CLASS_IMPL(EConvertError)
TAVELO_CLASS_IMPL(EVariantError)
TAVELO_CLASS_IMPL(EAssertionFailed)
TAVELO_CLASS_IMPL(EAbstractError)
TAVELO_CLASS_IMPL(EIntfCastError)
TAVELO_CLASS_IMPL(ESafecallException)
TAVELO_CLASS_IMPL(EInOutError)
TAVELO_CLASS_IMPL(EOSError)
TAVELO_CLASS_IMPL(EStreamError)
TAVELO_CLASS_IMPL(EFCreateError)
TAVELO_CLASS_IMPL(EFOpenError)
TAVELO_CLASS_IMPL(EFilerError)
TAVELO_CLASS_IMPL(EReadError)
TAVELO_CLASS_IMPL(EWriteError)
TAVELO_CLASS_IMPL(EClassNotFound)
TAVELO_CLASS_IMPL(EResNotFound)
TAVELO_CLASS_IMPL(EListError)
TAVELO_CLASS_IMPL(EBitsError)
TAVELO_CLASS_IMPL(EStringListError)
TAVELO_CLASS_IMPL(EComponentError)
TAVELO_CLASS_IMPL(EInvalidOperation)
TAVELO_CLASS_IMPL(EThread)
TAVELO_CLASS_IMPL(EInvalidGraphic)
TAVELO_CLASS_IMPL(EInvalidGraphicOperation)
TAVELO_CLASS_IMPL(EMenuError)
TAVELO_CLASS_IMPL(EHelpSystemException)
TAVELO_CLASS_IMPL(ERegistryException)

EOSError OSError(unsigned errorCode) {
  if (errorCode == 0) return EOSError(SUnkOSError, 0);
  return EOSError(Format(SOSError, {errorCode, sys::ErrorText(errorCode)}), errorCode);
}

void RaiseLastOSError() { throw OSError(sys::LastError()); }

EInOutError InOutError(int errorCode) {
  // The platform's codes for a missing file or path, a refused access and a full disk.
  switch (errorCode) {
    case 2: case 3: return EInOutError(SFileNotFound, errorCode);
    case 5: return EInOutError(SAccessDenied, errorCode);
    case 39: case 112: return EInOutError(SDiskFull, errorCode);
    default: return EInOutError(Format(SInOutError, {errorCode}), errorCode);
  }
}

String LastResortText(const Exception& e) {
  String module = sys::ModuleFileName();
  std::size_t slash = module.find_last_of("\\/");
  if (slash != String::npos) module.erase(0, slash + 1);
  const void* relative = reinterpret_cast<const void*>(
      reinterpret_cast<std::uintptr_t>(e.ExceptAddr()) - reinterpret_cast<std::uintptr_t>(sys::ModuleBase()));
  const String& message = e.Message();
  const char* dot = (!message.empty() && message.back() != '.') ? "." : "";
  return Format(SException, {e.ClassName(), module, relative, message, dot});
}

void ShowLastResort(const Exception& e) {
  String text = LastResortText(e);
  if (sys::IsConsoleProgram())
    sys::WriteStdOut(text + "\r\n");
  else
    sys::ShowErrorBox(SExceptTitle, text);
}

void ShowLastResort(std::exception_ptr caught) {
  try {
    std::rethrow_exception(caught);
  } catch (const Exception& e) {
    ShowLastResort(e);
  } catch (const std::bad_alloc&) {
    ShowLastResort(EOutOfMemory(SOutOfMemory));
  } catch (const std::exception& e) {
    ShowLastResort(Exception(e.what()));
  } catch (...) {
    ShowLastResort(Exception(SUnkOSError));
  }
}

}  // namespace tavelo
