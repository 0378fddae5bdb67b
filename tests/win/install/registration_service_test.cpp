// The service head start against Wine's service manager: what each answer of the manager
// is logged as. None of them may stop the install, so the log is the whole contract.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "install/registration.h"
#include "product/product.h"
#include "win_support.h"

namespace {

using test_support::captured_log;
using test_support::scratch_dir;

class ServiceStart : public ::testing::Test {
 protected:
  void SetUp() override {
    manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_NE(manager, nullptr);
    remove_service();
  }
  void TearDown() override {
    remove_service();
    CloseServiceHandle(manager);
  }
  void remove_service() {
    SC_HANDLE service = OpenServiceW(manager, L"" PRODUCT_SERVICE_NAME, SERVICE_ALL_ACCESS);
    if (!service) return;
    SERVICE_STATUS status;
    ControlService(service, SERVICE_CONTROL_STOP, &status);
    for (int i = 0; i < 50 && QueryServiceStatus(service, &status) && status.dwCurrentState != SERVICE_STOPPED; ++i)
      Sleep(100);
    DeleteService(service);
    CloseServiceHandle(service);
  }
  void create_service(const std::string& binary) {
    std::wstring wide(binary.begin(), binary.end());
    SC_HANDLE service = CreateServiceW(manager, L"" PRODUCT_SERVICE_NAME, L"Corvane test service",
                                       SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                       SERVICE_ERROR_NORMAL, wide.c_str(), nullptr, nullptr, nullptr, nullptr,
                                       nullptr);
    ASSERT_NE(service, nullptr) << GetLastError();
    CloseServiceHandle(service);
  }
  SC_HANDLE manager = nullptr;
  scratch_dir work{"corvane-service-start"};
};

TEST_F(ServiceStart, MissingServiceIsLeftToTheSignInTask) {
  captured_log log;
  start_product_service();
  EXPECT_TRUE(log.has("[WARN] [Installer] install_start_service: OpenService(\"Corvane.Service\") failed "
                      "(err=1060) — service entry missing or ACL denies us. The ONLOGON scheduled task will start "
                      "it at the next sign-in."));
}

TEST_F(ServiceStart, RefusedStartIsAWarningWithTheManagersError) {
  create_service(work.sub("no-such-service.exe"));
  captured_log log;
  start_product_service();
  std::string text = log.text();
  EXPECT_NE(text.find("[WARN] [Installer] install_start_service: StartService(\"Corvane.Service\") failed (err="),
            std::string::npos)
      << text;
  EXPECT_NE(text.find(") — UI auto-restart / ONLOGON task will recover"), std::string::npos) << text;
  EXPECT_EQ(text.find("err=0)"), std::string::npos) << "a refusal always carries the manager's reason";
}

TEST_F(ServiceStart, StartedOnceThenLeftAloneWhileRunning) {
  // The test product's own service, copied where the service manager can reach it.
  std::string binary = work.sub("Corvane.Service.exe");
  ASSERT_TRUE(CopyFileA((test_support::module_folder() + "\\product\\bin\\Corvane.Service.exe").c_str(),
                        binary.c_str(), FALSE));
  create_service(binary);
  captured_log log;
  start_product_service();
  EXPECT_TRUE(log.has("[INFO] [Installer] install_start_service: SCM accepted start request for \"Corvane.Service\" "
                      "— service warming up while user reads finish screen"));
  SC_HANDLE service = OpenServiceW(manager, L"" PRODUCT_SERVICE_NAME, SERVICE_QUERY_STATUS);
  SERVICE_STATUS status = {};
  for (int i = 0; i < 100 && QueryServiceStatus(service, &status) && status.dwCurrentState != SERVICE_RUNNING; ++i)
    Sleep(100);
  CloseServiceHandle(service);
  ASSERT_EQ(status.dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
  start_product_service();
  EXPECT_TRUE(log.has("[INFO] [Installer] install_start_service: \"Corvane.Service\" already Running — skipping "
                      "head-start kick"));
  std::string text = log.text();
  EXPECT_EQ(text.find("SCM accepted"), text.rfind("SCM accepted")) << "no second start request";
}

}  // namespace
