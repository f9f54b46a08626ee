#include "core/exceptions.h"

#include <cstdint>

#include "core/rtlconsts.h"
#include "core/system.h"

namespace tavelo {

// Out of line, so that the return address is the code that made the exception.
__attribute__((noinline)) Exception::Exception(const String& message)
    : message_(message), address_(__builtin_return_address(0)) {}

__attribute__((noinline)) Exception::Exception(const String& format, TFormatArgs args)
    : message_(Format(format, args)), address_(__builtin_return_address(0)) {}

TAVELO_CLASS_IMPL(Exception, "SysUtils")
TAVELO_CLASS_IMPL(EAbort, "SysUtils")
TAVELO_CLASS_IMPL(EHeapException, "SysUtils")
TAVELO_CLASS_IMPL(EOutOfMemory, "SysUtils")
TAVELO_CLASS_IMPL(EInvalidPointer, "SysUtils")
TAVELO_CLASS_IMPL(EOutOfResources, "SysUtils")
TAVELO_CLASS_IMPL(EExternal, "SysUtils")
TAVELO_CLASS_IMPL(EIntError, "SysUtils")
TAVELO_CLASS_IMPL(EDivByZero, "SysUtils")
TAVELO_CLASS_IMPL(ERangeError, "SysUtils")
TAVELO_CLASS_IMPL(EIntOverflow, "SysUtils")
TAVELO_CLASS_IMPL(EMathError, "SysUtils")
TAVELO_CLASS_IMPL(EInvalidOp, "SysUtils")
TAVELO_CLASS_IMPL(EZeroDivide, "SysUtils")
TAVELO_CLASS_IMPL(EOverflow, "SysUtils")
TAVELO_CLASS_IMPL(EUnderflow, "SysUtils")
TAVELO_CLASS_IMPL(EAccessViolation, "SysUtils")
TAVELO_CLASS_IMPL(EPrivilege, "SysUtils")
TAVELO_CLASS_IMPL(EStackOverflow, "SysUtils")
TAVELO_CLASS_IMPL(EControlC, "SysUtils")
TAVELO_CLASS_IMPL(EExternalException, "SysUtils")
TAVELO_CLASS_IMPL(EInvalidCast, "SysUtils")
TAVELO_CLASS_IMPL(EConvertError, "SysUtils")
TAVELO_CLASS_IMPL(EVariantError, "SysUtils")
TAVELO_CLASS_IMPL(EAssertionFailed, "SysUtils")
TAVELO_CLASS_IMPL(EAbstractError, "SysUtils")
TAVELO_CLASS_IMPL(EIntfCastError, "SysUtils")
TAVELO_CLASS_IMPL(ESafecallException, "SysUtils")
TAVELO_CLASS_IMPL(EInOutError, "SysUtils")
TAVELO_CLASS_IMPL(EOSError, "SysUtils")
TAVELO_CLASS_IMPL(EStreamError, "Classes")
TAVELO_CLASS_IMPL(EFCreateError, "Classes")
TAVELO_CLASS_IMPL(EFOpenError, "Classes")
TAVELO_CLASS_IMPL(EFilerError, "Classes")
TAVELO_CLASS_IMPL(EReadError, "Classes")
TAVELO_CLASS_IMPL(EWriteError, "Classes")
TAVELO_CLASS_IMPL(EClassNotFound, "Classes")
TAVELO_CLASS_IMPL(EResNotFound, "Classes")
TAVELO_CLASS_IMPL(EListError, "Classes")
TAVELO_CLASS_IMPL(EBitsError, "Classes")
TAVELO_CLASS_IMPL(EStringListError, "Classes")
TAVELO_CLASS_IMPL(EComponentError, "Classes")
TAVELO_CLASS_IMPL(EInvalidOperation, "Controls")
TAVELO_CLASS_IMPL(EThread, "Classes")
TAVELO_CLASS_IMPL(EInvalidGraphic, "Graphics")
TAVELO_CLASS_IMPL(EInvalidGraphicOperation, "Graphics")
TAVELO_CLASS_IMPL(EMenuError, "Menus")
TAVELO_CLASS_IMPL(EHelpSystemException, "HelpIntfs")
TAVELO_CLASS_IMPL(ERegistryException, "Registry")

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
