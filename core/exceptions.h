// The exception classes. Every failure of the system is one of these, thrown by value and
// caught by reference to whichever base the handler cares about.
#pragma once

#include <exception>

#include "core/object.h"

namespace tavelo {

class Exception : public TObject, public std::exception {
  TAVELO_CLASS(Exception, TObject)
public:
  explicit Exception(const String& message);
  Exception(const String& format, TFormatArgs args);

  const String& Message() const { return message_; }
  void SetMessage(const String& value) { message_ = value; }
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int value) { helpContext_ = value; }
  // Where the exception was made: the code that constructed it.
  const void* ExceptAddr() const { return address_; }
  const char* what() const noexcept override { return message_.c_str(); }

private:
  String message_;
  int helpContext_ = 0;
  const void* address_;
};

#define TAVELO_EXCEPTION(Cls, Base) \
  class Cls : public Base {         \
    TAVELO_CLASS(Cls, Base)         \
  public:                           \
    using Base::Base;               \
  };

TAVELO_EXCEPTION(EAbort, Exception)
TAVELO_EXCEPTION(EHeapException, Exception)
TAVELO_EXCEPTION(EOutOfMemory, EHeapException)
TAVELO_EXCEPTION(EInvalidPointer, EHeapException)
TAVELO_EXCEPTION(EOutOfResources, EOutOfMemory)
TAVELO_EXCEPTION(EExternal, Exception)
TAVELO_EXCEPTION(EIntError, EExternal)
TAVELO_EXCEPTION(EDivByZero, EIntError)
TAVELO_EXCEPTION(ERangeError, EIntError)
TAVELO_EXCEPTION(EIntOverflow, EIntError)
TAVELO_EXCEPTION(EMathError, EExternal)
TAVELO_EXCEPTION(EInvalidOp, EMathError)
TAVELO_EXCEPTION(EZeroDivide, EMathError)
TAVELO_EXCEPTION(EOverflow, EMathError)
TAVELO_EXCEPTION(EUnderflow, EMathError)
TAVELO_EXCEPTION(EAccessViolation, EExternal)
TAVELO_EXCEPTION(EPrivilege, EExternal)
TAVELO_EXCEPTION(EStackOverflow, EExternal)
TAVELO_EXCEPTION(EControlC, EExternal)
TAVELO_EXCEPTION(EExternalException, EExternal)
TAVELO_EXCEPTION(EInvalidCast, Exception)
TAVELO_EXCEPTION(EConvertError, Exception)
TAVELO_EXCEPTION(EVariantError, Exception)
TAVELO_EXCEPTION(EAssertionFailed, Exception)
TAVELO_EXCEPTION(EAbstractError, Exception)
TAVELO_EXCEPTION(EIntfCastError, Exception)
TAVELO_EXCEPTION(ESafecallException, Exception)
TAVELO_EXCEPTION(EStreamError, Exception)
TAVELO_EXCEPTION(EFCreateError, EStreamError)
TAVELO_EXCEPTION(EFOpenError, EStreamError)
TAVELO_EXCEPTION(EFilerError, EStreamError)
TAVELO_EXCEPTION(EReadError, EFilerError)
TAVELO_EXCEPTION(EWriteError, EFilerError)
TAVELO_EXCEPTION(EClassNotFound, EFilerError)
TAVELO_EXCEPTION(EResNotFound, Exception)
TAVELO_EXCEPTION(EListError, Exception)
TAVELO_EXCEPTION(EBitsError, Exception)
TAVELO_EXCEPTION(EStringListError, Exception)
TAVELO_EXCEPTION(EComponentError, Exception)
TAVELO_EXCEPTION(EInvalidOperation, Exception)
TAVELO_EXCEPTION(EThread, Exception)
TAVELO_EXCEPTION(EInvalidGraphic, Exception)
TAVELO_EXCEPTION(EInvalidGraphicOperation, Exception)
TAVELO_EXCEPTION(EMenuError, Exception)
TAVELO_EXCEPTION(EHelpSystemException, Exception)
TAVELO_EXCEPTION(ERegistryException, Exception)

// A runtime file error; carries the error code.
class EInOutError : public Exception {
  TAVELO_CLASS(EInOutError, Exception)
public:
  EInOutError(const String& message, int errorCode) : Exception(message), errorCode_(errorCode) {}
  int ErrorCode() const { return errorCode_; }

private:
  int errorCode_;
};

// A failed platform call; carries the platform's error code.
class EOSError : public Exception {
  TAVELO_CLASS(EOSError, Exception)
public:
  EOSError(const String& message, unsigned errorCode) : Exception(message), errorCode_(errorCode) {}
  unsigned ErrorCode() const { return errorCode_; }

private:
  unsigned errorCode_;
};

// The exception for a platform error code: SOSError with the platform's text, or
// SUnkOSError when the code is 0.
EOSError OSError(unsigned errorCode);
// Raises OSError for the calling thread's last platform error.
[[noreturn]] void RaiseLastOSError();
// The runtime's file error for a code, with the specific text when there is one.
EInOutError InOutError(int errorCode);

// The last-resort text: SException with the class name,
// the module's file name, the address relative to the module and the message, followed by
// a "." unless the message is empty or already ends with one.
String LastResortText(const Exception& e);
// Shows an exception that escaped everything: a task-modal box captioned SExceptTitle, or
// standard output followed by CR LF for a console program.
void ShowLastResort(const Exception& e);
// The same for whatever a top-level catch caught; a foreign exception is shown as an
// Exception with its own text.
void ShowLastResort(std::exception_ptr caught);

}  // namespace tavelo
