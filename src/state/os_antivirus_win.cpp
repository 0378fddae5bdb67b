// Installed antivirus products as the Security Center lists them, through WMI.
#include <windows.h>
#include <wbemidl.h>

#include "base/bounded_text.h"
#include "base/handle_win.h"
#include "base/wide_win.h"
#include "state/os_probe.h"
#include "state/system_text.h"

namespace {

constexpr long FETCH_TIMEOUT_MS = 3000;  // a hanging Security Center costs at most this per product

using bstr = owned<closed_by<BSTR, SysFreeString>>;

// False when the name no longer fits the field: the list stays the first products, whole.
bool append_display_name(IWbemClassObject* object, install_state* state) {
  VARIANT value;
  VariantInit(&value);
  bool fitted = true;
  if (SUCCEEDED(object->Get(L"displayName", 0, &value, nullptr, nullptr)) && value.vt == VT_BSTR && value.bstrVal) {
    char name[128];
    wide_to_utf8(value.bstrVal, name, sizeof name);
    fitted = !name[0] || append_listed_name(state->os_antivirus, sizeof state->os_antivirus, name);
  }
  VariantClear(&value);
  return fitted;
}

int open_security_center(com_ptr<IWbemLocator>* locator, com_ptr<IWbemServices>* services) {
  if (FAILED(CoCreateInstance(__uuidof(WbemLocator), nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWbemLocator),
                              reinterpret_cast<void**>(locator->receive()))))
    return -1;
  bstr space(SysAllocString(L"ROOT\\SecurityCenter2"));
  if (!space || FAILED((*locator)->ConnectServer(space.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                                  services->receive())))
    return -1;
  if (FAILED(CoSetProxyBlanket(services->get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                               RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE)))
    return -1;
  return 0;
}

}  // namespace

void probe_antivirus(install_state* state) {
  com_ptr<IWbemLocator> locator;
  com_ptr<IWbemServices> services;
  if (open_security_center(&locator, &services) != 0) return;
  bstr language(SysAllocString(L"WQL")), query(SysAllocString(L"SELECT displayName FROM AntiVirusProduct"));
  com_ptr<IEnumWbemClassObject> products;
  if (!language || !query ||
      FAILED(services->ExecQuery(language.get(), query.get(), WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY,
                                 nullptr, products.receive())))
    return;
  state->os_antivirus[0] = '\0';
  for (;;) {
    com_ptr<IWbemClassObject> product;
    ULONG returned = 0;
    HRESULT hr = products->Next(FETCH_TIMEOUT_MS, 1, product.receive(), &returned);
    if (hr != WBEM_S_NO_ERROR || returned != 1 || !append_display_name(product.get(), state)) break;
  }
}

namespace {

// The probe's thread: its handle stays open for the run, so that every reader may wait on it.
HANDLE g_antivirus_probe = nullptr;

DWORD WINAPI antivirus_probe_thread(void* state) {
  HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  probe_antivirus(static_cast<install_state*>(state));
  if (SUCCEEDED(com)) CoUninitialize();
  return 0;
}

}  // namespace

void probe_antivirus_start(install_state* state) {
  probe_antivirus_wait();  // one probe writes the field at a time
  HANDLE thread = CreateThread(nullptr, 0, antivirus_probe_thread, state, 0, nullptr);
  if (!thread) {
    probe_antivirus(state);  // no thread to spare: the caller's own COM apartment serves
    return;
  }
  HANDLE previous = InterlockedExchangePointer(&g_antivirus_probe, thread);
  if (previous) CloseHandle(previous);
}

void probe_antivirus_wait() {
  HANDLE thread = g_antivirus_probe;
  if (thread) WaitForSingleObject(thread, INFINITE);
}
