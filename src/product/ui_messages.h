// The messages the native side sends to the page: answers to its invokes, and the unasked
// progress and final outcome.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

constexpr size_t UI_PROGRESS_MESSAGE_SIZE = 264;
constexpr size_t UI_TERMINAL_MESSAGE_SIZE = 520;
constexpr size_t UI_RESPONSE_MESSAGE_SIZE = 520;
constexpr size_t UI_NULL_RESPONSE_SIZE = 1024;
constexpr size_t UI_STATE_RESPONSE_SIZE = 7168;  // the install- and uninstall-state objects

// {"type":"response","id":<id>,"result":<result>}, result a JSON value text (null: null);
// 0, or -1 when it does not fit (out then holds nothing the page could take for an answer).
int ui_format_response(int32_t id, const char* result, char* out, size_t size);

// {"type":"event","channel":"installer://progress","payload":{"stage":"<stage>","percent":<n>}};
// 0, or -1 when it does not fit (nothing half-formed is ever posted).
int ui_format_progress(const char* stage, int percent, char* out, size_t size);
// {"type":"event","channel":"installer://terminal","payload":{"stage":..,"terminal":..,"outcome":..}}
int ui_format_terminal(const char* stage, const char* terminal, const char* outcome, char* out, size_t size);

// The stage words and terminal events each progress page is sent, in the order a run sends
// them; tools/page_contract_export.cpp writes their messages out for the page tests.
inline constexpr const char* INSTALL_PAGE_STAGES[] = {"preparing", "downloading", "extracting", "closing_existing",
                                                      "uninstalling_existing", "installing", "waiting_for_installer",
                                                      "finishing", "done"};
inline constexpr const char* UNINSTALL_PAGE_STAGES[] = {"closing", "uninstalling", "done"};
// The flows name their stages through these: a word missing from the page's list does not compile.
template <size_t N>
consteval const char* listed_stage(const char* const (&list)[N], std::string_view word) {
  for (const char* listed : list)
    if (word == listed) return listed;
  throw "not a stage word of this page";
}
consteval const char* install_stage(std::string_view word) { return listed_stage(INSTALL_PAGE_STAGES, word); }
consteval const char* uninstall_stage(std::string_view word) { return listed_stage(UNINSTALL_PAGE_STAGES, word); }
struct ui_terminal_event {
  const char* stage;
  const char* terminal;
  const char* outcome;
};
inline constexpr ui_terminal_event INSTALL_PAGE_TERMINALS[] = {
    {"download", "fail", "error"},  {"download", "fail", "warning"}, {"extract", "fail", "error"},
    {"extract", "fail", "warning"}, {"install", "fail", "error"},    {"install", "fail", "warning"},
    {"done", "finish", "success"},  {"done", "finish", "error"}};
inline constexpr ui_terminal_event UNINSTALL_PAGE_TERMINALS[] = {{"done", "finish", "success"},
                                                                 {"done", "finish", "warning"}};
