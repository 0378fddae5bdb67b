// The page channel as the host window sees it: texts posted from the program's own threads
// reach the page in order, and a WM_UI_POST_JSON from anyone else, whatever its lParam,
// delivers nothing it carries and frees nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "product/ui_post.h"
#include "ui/ui_host_window_win.h"

namespace {

std::vector<std::string> g_page;

void to_page(const wchar_t* text) { g_page.emplace_back(text, text + lstrlenW(text)); }

// Answers the wake-up as the host window does.
LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_UI_POST_JSON) {
    ui_poster_deliver(to_page);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

struct foreign_post {
  HWND window;
  LPARAM lparam;
};

// Another thread's bare message first, then the program's own posts.
DWORD WINAPI post_from_another_thread(void* context) {
  auto* post = static_cast<foreign_post*>(context);
  PostMessageW(post->window, WM_UI_POST_JSON, 0, post->lparam);
  PostMessageW(post->window, WM_UI_POST_JSON, 0, 1);
  for (int i = 1; i <= 5; ++i) ui_post_json(("{\"n\":" + std::to_string(i) + "}").c_str());
  return 0;
}

class PageChannel : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW window_class = {};
    window_class.lpfnWndProc = window_proc;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"CorvanePostSinkTest";
    RegisterClassW(&window_class);
    window = CreateWindowExW(0, window_class.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             window_class.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    g_page.clear();
    ui_poster_install(window);
  }
  void TearDown() override {
    ui_poster_remove();
    ui_poster_drain();
    DestroyWindow(window);
  }
  void pump_until(size_t count) {
    for (int i = 0; i < 500 && g_page.size() < count; ++i) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      Sleep(10);
    }
  }
  HWND window = nullptr;
};

TEST_F(PageChannel, ForeignWakeUpIsIgnoredAndOwnPostsArriveInOrder) {
  void* block = HeapAlloc(GetProcessHeap(), 0, 64);
  ASSERT_NE(block, nullptr);
  foreign_post post = {window, reinterpret_cast<LPARAM>(block)};
  HANDLE thread = CreateThread(nullptr, 0, post_from_another_thread, &post, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  pump_until(5);
  EXPECT_EQ(g_page, (std::vector<std::string>{"{\"n\":1}", "{\"n\":2}", "{\"n\":3}", "{\"n\":4}", "{\"n\":5}"}));
  EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, block)) << "the foreign lParam was freed";
  HeapFree(GetProcessHeap(), 0, block);
}

}  // namespace
