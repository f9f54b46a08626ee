#include "core/exceptions.h"

#include <gtest/gtest.h>

#include "core/system.h"
#include "core/tests/test_support.h"
#include "core/typinfo.h"

namespace tavelo::testing {
namespace {

TEST(ExceptionTreeTest, ClassesCatchByTheirBases) {
  try {
    throw EFOpenError("Impossible d'ouvrir le fichier %s", {"x.js"});
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.ClassName(), "EFOpenError");
    EXPECT_EQ(e.Message(), "Impossible d'ouvrir le fichier x.js");
    EXPECT_TRUE(e.InheritsFrom(Exception::StaticClass()));
    EXPECT_FALSE(e.InheritsFrom(EFilerError::StaticClass()));
  }
  EXPECT_TRUE(EClassNotFound::StaticClass()->InheritsFrom(EFilerError::StaticClass()));
  EXPECT_TRUE(EOutOfResources::StaticClass()->InheritsFrom(EHeapException::StaticClass()));
  EXPECT_TRUE(EZeroDivide::StaticClass()->InheritsFrom(EExternal::StaticClass()));
  EXPECT_EQ(EReadError::StaticClass()->ClassParent(), EFilerError::StaticClass());
  EXPECT_EQ(Exception("m").HelpContext(), 0);
}

TEST(ExceptionTreeTest, PlatformErrorsCarryTheirCodeAndText) {
  EOSError none = OSError(0);
  EXPECT_EQ(none.Message(), "Un appel à une fonction du système d'exploitation a échoué");
  EXPECT_EQ(none.ErrorCode(), 0u);
  EOSError denied = OSError(5);
  EXPECT_EQ(denied.ErrorCode(), 5u);
  String prefix = "Erreur système.  Code : 5.\r\n";
  EXPECT_EQ(denied.Message().substr(0, prefix.size()), prefix);
  EXPECT_EQ(denied.Message().substr(prefix.size()), sys::ErrorText(5));
  sys::SetLastError(0);
  EXPECT_RAISES(RaiseLastOSError(), EOSError, "Un appel à une fonction du système d'exploitation a échoué");
  EXPECT_EQ(InOutError(2).Message(), "Fichier introuvable");
  EXPECT_EQ(InOutError(1234).Message(), "Erreur E/S 1234");
  EXPECT_EQ(InOutError(112).ErrorCode(), 112);
}

TEST(LastResortTest, NamesClassModuleAddressAndEndsWithOneDot) {
  String module = sys::ModuleFileName();
  module.erase(0, module.find_last_of("\\/") + 1);
  Exception plain("Accès refusé");
  String text = LastResortText(plain);
  String head = "Exception Exception dans le module " + module + " à ";
  ASSERT_EQ(text.substr(0, head.size()), head);
  String tail = ".\nAccès refusé.";
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  // The address is relative to the module, so it is small and written in full width.
  String address = text.substr(head.size(), text.size() - head.size() - tail.size());
  EXPECT_EQ(address.size(), sizeof(void*) * 2);

  String dotted = LastResortText(EAbort("Fin."));
  EXPECT_EQ(dotted.substr(dotted.size() - 5), "\nFin.");
  String empty = LastResortText(EAbort(""));
  EXPECT_EQ(empty.back(), '\n');
}

TEST(LastResortTest, ConsoleProgramsWriteTheTextAndALineBreak) {
  ::testing::internal::CaptureStdout();
  ShowLastResort(std::make_exception_ptr(EReadError("Format de flux incorrect")));
  std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("Exception EReadError dans le module "), std::string::npos);
#ifdef _WIN32
  // The capture reads its file back in text mode, which turns CR LF into LF.
  EXPECT_EQ(out.substr(out.size() - 2), ".\n");
#else
  EXPECT_EQ(out.substr(out.size() - 3), ".\r\n");
#endif
}

}  // namespace
}  // namespace tavelo::testing
