// The exception classes of the run-time library. Exceptions are TObjects
// (their class name titles error reports) and std::exceptions; they are
// thrown by value and caught by reference.
//
//   throw EConvertError("Cannot assign a %s to a %s", {src, dst});
//   throw EReadError(SReadError);   // a resource string
#pragma once

#include <exception>
#include <initializer_list>

#include "platform/rtl/Format.h"
#include "platform/rtl/Object.h"
#include "platform/rtl/ResourceStrings.h"

class Exception : public TObject, public std::exception {
  ORV_CLASS(Exception, TObject)
 public:
  Exception() = default;
  explicit Exception(const AnsiString& msg) : FMessage(msg) {}
  Exception(const AnsiString& fmt, std::initializer_list<TVarRec> args) : FMessage(Format(fmt, args)) {}
  explicit Exception(const TResStringRec& res) : FMessage(LoadResString(res)) {}
  Exception(const TResStringRec& res, std::initializer_list<TVarRec> args)
      : FMessage(Format(LoadResString(res), args)) {}

  const AnsiString& GetMessage() const { return FMessage; }
  void SetMessage(const AnsiString& msg) { FMessage = msg; }
  const char* what() const noexcept override { return FMessage.c_str(); }

  // Throws a copy of this exception as its own most derived type.
  [[noreturn]] virtual void Raise() const { throw *this; }

 private:
  AnsiString FMessage;
};

#define ORV_EXCEPTION(Name, Parent)                           \
  class Name : public Parent {                                \
    ORV_CLASS(Name, Parent)                                   \
   public:                                                    \
    using Parent::Parent;                                     \
    [[noreturn]] void Raise() const override { throw *this; } \
  };

// Silent: the application never reports it.
ORV_EXCEPTION(EAbort, Exception)
ORV_EXCEPTION(EConvertError, Exception)
ORV_EXCEPTION(EListError, Exception)
ORV_EXCEPTION(EStringListError, Exception)
ORV_EXCEPTION(EInvalidOperation, Exception)
ORV_EXCEPTION(EInvalidCast, Exception)
ORV_EXCEPTION(EComponentError, Exception)
ORV_EXCEPTION(EAbstractError, Exception)
ORV_EXCEPTION(EOutOfResources, Exception)
ORV_EXCEPTION(EResNotFound, Exception)
ORV_EXCEPTION(EInvalidGraphic, Exception)
ORV_EXCEPTION(EPropertyError, Exception)
ORV_EXCEPTION(EPropertyConvertError, Exception)
ORV_EXCEPTION(EParserError, Exception)
ORV_EXCEPTION(ERegistryException, Exception)
ORV_EXCEPTION(EIntError, Exception)
ORV_EXCEPTION(EDivByZero, EIntError)
ORV_EXCEPTION(ERangeError, EIntError)
ORV_EXCEPTION(EIntOverflow, EIntError)
ORV_EXCEPTION(EMathError, Exception)
ORV_EXCEPTION(EZeroDivide, EMathError)
ORV_EXCEPTION(EOverflow, EMathError)
ORV_EXCEPTION(EUnderflow, EMathError)
ORV_EXCEPTION(EInvalidOp, EMathError)
ORV_EXCEPTION(EInOutError, Exception)
ORV_EXCEPTION(EOSError, Exception)

ORV_EXCEPTION(EVariantError, Exception)
ORV_EXCEPTION(EVariantTypeCastError, EVariantError)
ORV_EXCEPTION(EVariantOverflowError, EVariantError)
ORV_EXCEPTION(EVariantInvalidOpError, EVariantError)
ORV_EXCEPTION(EVariantBadIndexError, EVariantError)

ORV_EXCEPTION(EStreamError, Exception)
ORV_EXCEPTION(EFCreateError, EStreamError)
ORV_EXCEPTION(EFOpenError, EStreamError)
ORV_EXCEPTION(EFilerError, EStreamError)
ORV_EXCEPTION(EReadError, EFilerError)
ORV_EXCEPTION(EWriteError, EFilerError)
ORV_EXCEPTION(EClassNotFound, EFilerError)
ORV_EXCEPTION(EMethodNotFound, EFilerError)

// Raises EAbort.
[[noreturn]] void Abort();
