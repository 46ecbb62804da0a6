// The Outlook road against the tests' automation stand-in, registered for
// "Outlook.Application" in this prefix for the length of each test.
#include <gtest/gtest.h>
#include <windows.h>

#include <objbase.h>
#include <oleauto.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/utf.h"
#include "mail/outlook_win.h"
#include "mail_test_util.h"
#include "base/strings.h"
#include "ui/system_path_win.h"

using namespace griv;
using griv::test::BesideProgram;
using griv::test::CallRecord;
using griv::test::ReadCallLog;

namespace {

class OutlookStandIn : public ::testing::Test {
 protected:
  void SetUp() override {
    log_ = IncludeTrailingBackslash(TempFolder()) + "griv-outlook-" + std::to_string(GetCurrentProcessId()) + ".log";
    DeleteFileUtf8(log_);
    SetEnvironmentVariableA("GRIV_TEST_OUTLOOK_LOG", ToAnsi(log_).c_str());
    SetEnvironmentVariableA("GRIV_TEST_OUTLOOK_FAIL", nullptr);
    ASSERT_EQ(Server("DllRegisterServer"), S_OK);
  }
  void TearDown() override {
    Server("DllUnregisterServer");
    SetEnvironmentVariableA("GRIV_TEST_OUTLOOK_LOG", nullptr);
    SetEnvironmentVariableA("GRIV_TEST_OUTLOOK_FAIL", nullptr);
    DeleteFileUtf8(log_);
  }
  static HRESULT Server(const char* entry) {
    HMODULE m = LoadLibraryW(BesideProgram(L"griv_test_outlook.dll").c_str());
    if (!m) return E_FAIL;
    auto fn = reinterpret_cast<HRESULT(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(m, entry)));
    HRESULT hr = fn ? fn() : E_FAIL;
    FreeLibrary(m);
    return hr;
  }
  // "verb object member args" lines, objects by kind (their serial numbers vary).
  std::vector<std::string> Calls() const {
    std::vector<std::string> out;
    for (const CallRecord& r : ReadCallLog(log_)) {
      std::string object = r["object"].substr(0, r["object"].find('#'));
      if (r.verb == "call")
        out.push_back("call " + object + "." + r["member"] + " " + r["kind"] + " " + r["args"]);
      else
        out.push_back(r.verb + " " + object);
    }
    return out;
  }
  // Every object made was released again.
  void ExpectAllReleased() const {
    std::vector<std::string> made, released;
    for (const CallRecord& r : ReadCallLog(log_)) {
      if (r.verb == "new") made.push_back(r["object"]);
      if (r.verb == "release") released.push_back(r["object"]);
    }
    std::sort(made.begin(), made.end());
    std::sort(released.begin(), released.end());
    EXPECT_EQ(made, released);
  }
  std::string log_;
};

using Strings = std::vector<std::string>;

TEST_F(OutlookStandIn, MailItemGetsTheAttachmentAndIsDisplayedModally) {
  const std::string file = "C:\\Captures\\shot \xC3\xBC.jpg";
  MailWithOutlook(file);
  EXPECT_EQ(Calls(), (Strings{"new Application", "call Application.CreateItem 1 I4:0", "new MailItem",
                              "call MailItem.Attachments 2 ", "new Attachments",
                              "call Attachments.Add 1 BSTR:" + file, "new Attachment", "release Attachment",
                              "call MailItem.Display 1 BOOL:-1", "release MailItem", "release Attachments",
                              "release Application"}));
  ExpectAllReleased();
}

TEST_F(OutlookStandIn, WithoutAnImageNothingIsAttached) {
  MailWithOutlook("");
  EXPECT_EQ(Calls(), (Strings{"new Application", "call Application.CreateItem 1 I4:0", "new MailItem",
                              "call MailItem.Display 1 BOOL:-1", "release MailItem", "release Application"}));
}

TEST_F(OutlookStandIn, ARunningOutlookIsUsedRatherThanANewOne) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  CLSID clsid;
  ASSERT_EQ(CLSIDFromProgID(kOutlookProgId, &clsid), S_OK);
  IUnknown* running = nullptr;
  ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&running)),
            S_OK);
  DWORD cookie = 0;
  ASSERT_EQ(RegisterActiveObject(running, clsid, ACTIVEOBJECT_STRONG, &cookie), S_OK);
  MailWithOutlook("C:\\a.bmp");
  RevokeActiveObject(cookie, nullptr);
  running->Release();
  CoUninitialize();
  Strings calls = Calls();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "new Application"), 1);
  EXPECT_EQ(calls[0], "new Application");
  EXPECT_EQ(calls[1], "call Application.CreateItem 1 I4:0");
  ExpectAllReleased();
}

TEST_F(OutlookStandIn, FailuresBecomeOneClearMessage) {
  SetEnvironmentVariableA("GRIV_TEST_OUTLOOK_FAIL", "Display");
  try {
    MailWithOutlook("C:\\a.bmp");
    ADD_FAILURE() << "no exception";
  } catch (const EOutlookError& e) {
    EXPECT_STREQ(e.what(), "Unable to start Outlook: Display: Stand-in refuses Display");
  }
  ExpectAllReleased();

  // No Outlook registered at all.
  Server("DllUnregisterServer");
  try {
    MailWithOutlook("C:\\a.bmp");
    ADD_FAILURE() << "no exception";
  } catch (const EOutlookError& e) {
    EXPECT_STREQ(e.what(), "Unable to start Outlook: Outlook is not installed on this computer.");
  }
}

}  // namespace
