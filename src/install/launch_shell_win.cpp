// Paths 2 and 3 of the chain: ask the running desktop shell, which runs unelevated in the
// user's session, to start the program for us.
#include <windows.h>
#include <exdisp.h>
#include <shldisp.h>
#include <shlobj.h>
#include <servprov.h>

#include "base/handle_win.h"
#include "base/log.h"
#include "base/wide_win.h"
#include "install/launch_paths.h"

namespace {

// Defined here rather than taken from a system library, which not every toolchain carries.
const GUID SERVICE_TOP_LEVEL_BROWSER = {0x4c96be40, 0x915c, 0x11cf, {0x99, 0xd3, 0x00, 0xaa, 0x00, 0x4a, 0xe8, 0x37}};
const CLSID SHELL_WINDOWS_CLSID = {0x9ba05972, 0xf6a8, 0x11cf, {0xa4, 0x42, 0x00, 0xa0, 0xc9, 0x0a, 0x8f, 0x39}};

// The top-level browser of the desktop's window, or empty (the failing step logged).
com_ptr<IShellBrowser> desktop_browser() {
  com_ptr<IShellWindows> windows;
  HRESULT hr = CoCreateInstance(SHELL_WINDOWS_CLSID, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                reinterpret_cast<void**>(windows.receive()));
  if (FAILED(hr) || !windows) {
    log_info("shell_exec_as_user: CoCreateInstance(ShellWindows) failed (hr=0x%08lx)", static_cast<unsigned long>(hr));
    return {};
  }
  com_ptr<IDispatch> desktop;
  VARIANT location, root;
  VariantInit(&location);
  VariantInit(&root);
  long hwnd = 0;
  hr = windows->FindWindowSW(&location, &root, SWC_DESKTOP, &hwnd, SWFO_NEEDDISPATCH, desktop.receive());
  if (hr != S_OK || !desktop) {
    log_info("shell_exec_as_user: IShellWindows::FindWindowSW(DESKTOP) returned hr=0x%08lx (no desktop shell yet?)",
             static_cast<unsigned long>(hr));
    return {};
  }
  com_ptr<IServiceProvider> provider;
  hr = desktop->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(provider.receive()));
  if (FAILED(hr)) {
    log_info("shell_exec_as_user: QI(IDispatch→IServiceProvider) failed (hr=0x%08lx)", static_cast<unsigned long>(hr));
    return {};
  }
  com_ptr<IShellBrowser> browser;
  hr = provider->QueryService(SERVICE_TOP_LEVEL_BROWSER, IID_IShellBrowser,
                              reinterpret_cast<void**>(browser.receive()));
  if (FAILED(hr)) {
    log_info("shell_exec_as_user: QueryService(STopLevelBrowser→IShellBrowser) failed (hr=0x%08lx)",
             static_cast<unsigned long>(hr));
    return {};
  }
  return browser;
}

}  // namespace

// The desktop's folder view asked for its Shell application object.
IDispatch* desktop_shell_application() {
  com_ptr<IShellBrowser> browser = desktop_browser();
  if (!browser) return nullptr;
  com_ptr<IShellView> view;
  HRESULT hr = browser->QueryActiveShellView(view.receive());
  if (FAILED(hr)) {
    log_info("shell_exec_as_user: IShellBrowser::QueryActiveShellView failed (hr=0x%08lx)",
             static_cast<unsigned long>(hr));
    return nullptr;
  }
  com_ptr<IDispatch> background;
  hr = view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, reinterpret_cast<void**>(background.receive()));
  if (FAILED(hr)) {
    log_info("shell_exec_as_user: IShellView::GetItemObject(SVGIO_BACKGROUND, IDispatch) failed (hr=0x%08lx)",
             static_cast<unsigned long>(hr));
    return nullptr;
  }
  com_ptr<IShellFolderViewDual> folder_view;
  hr = background->QueryInterface(IID_IShellFolderViewDual, reinterpret_cast<void**>(folder_view.receive()));
  if (FAILED(hr)) {
    log_info("shell_exec_as_user: QI(IDispatch→IShellFolderViewDual) failed (hr=0x%08lx)",
             static_cast<unsigned long>(hr));
    return nullptr;
  }
  IDispatch* application = nullptr;
  hr = folder_view->get_Application(&application);
  if (FAILED(hr) || !application) {
    log_info("shell_exec_as_user: IShellFolderViewDual::get_Application failed (hr=0x%08lx)",
             static_cast<unsigned long>(hr));
    return nullptr;
  }
  return application;
}

namespace {

constexpr int FILE_TEXT_MAX = 2049;

// The five arguments of Shell.ShellExecute, owned here so every path frees them.
struct shell_call {
  BSTR file = nullptr;
  VARIANT arguments, directory, operation, show;
  shell_call() {
    VariantInit(&arguments);
    VariantInit(&directory);
    VariantInit(&operation);
    VariantInit(&show);
  }
  ~shell_call() {
    VariantClear(&arguments);
    VariantClear(&directory);
    VariantClear(&operation);
    VariantClear(&show);
    SysFreeString(file);
  }
};

void set_text(VARIANT* variant, const char* text) {
  wchar_t wide[MAX_PATH + 600];
  if (!text || !text[0] || utf8_to_wide(text, wide, MAX_PATH + 600) != 0) return;  // stays VT_EMPTY
  variant->vt = VT_BSTR;
  variant->bstrVal = SysAllocString(wide);
  if (!variant->bstrVal) variant->vt = VT_EMPTY;
}

// exe is a program's path or, for a page's link, a web address (up to 2048 characters).
int fill_call(shell_call* call, const char* exe, const char* arguments, const char* directory) {
  wchar_t wide[FILE_TEXT_MAX];
  if (utf8_to_wide(exe, wide, FILE_TEXT_MAX) != 0 || !(call->file = SysAllocString(wide))) return -1;
  set_text(&call->operation, "open");
  set_text(&call->arguments, arguments);
  set_text(&call->directory, directory);
  call->show.vt = VT_I4;
  call->show.lVal = SW_SHOWDEFAULT;
  return 0;
}

// Path 3: the same call through IDispatch, for shells whose application object does not
// hand out the typed interface.
int invoke_late_bound(IDispatch* application, shell_call* call) {
  OLECHAR name[] = L"ShellExecute";
  LPOLESTR names[] = {name};
  DISPID dispid = 0;
  HRESULT hr = application->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid);
  if (FAILED(hr)) {
    log_info("shell_exec_as_user: GetIDsOfNames(ShellExecute) failed (hr=0x%08lx)", static_cast<unsigned long>(hr));
    return -1;
  }
  VARIANT args[5];  // in reverse order: show, operation, directory, arguments, file
  args[0] = call->show;
  args[1] = call->operation;
  args[2] = call->directory;
  args[3] = call->arguments;
  args[4].vt = VT_BSTR;
  args[4].bstrVal = call->file;
  DISPPARAMS params = {args, nullptr, 5, 0};
  EXCEPINFO exception = {};
  UINT bad_arg = 0;
  hr = application->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, &exception,
                           &bad_arg);
  if (FAILED(hr)) {
    log_info("shell_exec_as_user: IDispatch::Invoke(ShellExecute) failed (hr=0x%08lx, err_arg=%u, scode=0x%08lx)",
             static_cast<unsigned long>(hr), bad_arg, static_cast<unsigned long>(exception.scode));
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return -1;
  }
  log_info("shell_exec_as_user: launched via IDispatch::Invoke(ShellExecute, dispid=0x%lx)",
           static_cast<unsigned long>(dispid));
  return 0;
}

int shell_execute_on(IDispatch* application, const char* exe, const char* arguments, const char* directory) {
  shell_call call;
  if (fill_call(&call, exe, arguments, directory) != 0) {
    log_info("shell_exec_as_user: exe path conversion failed (gle=%lu)", GetLastError());
    return -1;
  }
  com_ptr<IShellDispatch2> shell;
  HRESULT hr = application->QueryInterface(IID_IShellDispatch2, reinterpret_cast<void**>(shell.receive()));
  if (FAILED(hr) || !shell) {
    log_info("shell_exec_as_user: QI(IDispatch→IShellDispatch2) failed (hr=0x%08lx); falling back to late-bound "
             "IDispatch::Invoke",
             static_cast<unsigned long>(hr));
    return invoke_late_bound(application, &call);
  }
  hr = shell->ShellExecute(call.file, call.arguments, call.directory, call.operation, call.show);
  if (FAILED(hr)) {
    log_info("shell_exec_as_user: IShellDispatch2::ShellExecute (vtable) failed (hr=0x%08lx)",
             static_cast<unsigned long>(hr));
    return -1;
  }
  log_info("shell_exec_as_user: launched via IShellDispatch2 (vtable)");
  return 0;
}

}  // namespace

int launch_via_desktop_shell(const launch_seams* seams, const char* exe, const char* arguments,
                             const char* directory) {
  HRESULT init = CoInitialize(nullptr);
  log_info("shell_exec_as_user: trying IShellDispatch2 path (file=%s, CoInitialize hr=0x%08lx)", exe,
           static_cast<unsigned long>(init));
  int result = -1;
  {
    // Released before COM is uninitialised below.
    com_ptr<IDispatch> application(seams->desktop_application());
    if (application) result = shell_execute_on(application.get(), exe, arguments, directory);
  }
  // Balanced only when this call initialised COM: a caller's apartment stays as it was.
  if (init == S_OK) CoUninitialize();
  return result;
}
