// Writes the page <-> host contract into a folder for the page tests: the command list, and
// what the host sends the pages, each produced by the formatter the program itself sends it
// with. A renamed command, field, stage word or outcome thereby changes what the page tests
// (tests/pages) answer and expect.
//   page_contract_export <folder>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "product/ui_messages.h"
#include "consent/consent_info.h"
#include "telemetry/json_escape.h"
#include "ui/commands/browser_rules.h"
#include "ui/page_contract.h"
#include "ui/commands/state_objects.h"

namespace {

struct page_file {
  unsigned screen;
  const char* file;
};
const page_file PAGES[] = {{PAGE_CONSENT, "consent.html"}, {PAGE_INSTALL, "index.html"}, {PAGE_UNINSTALL, "uninstall.html"}};
const char* const RESULT_NAMES[] = {"null", "state", "consent_info", "elevation"};

// A sample the formatter would not produce is a fault of the program: no file may hold less.
const char* made(int formatted, const char* text, const char* what) {
  if (formatted == 0) return text;
  std::fprintf(stderr, "page_contract_export: %s did not fit\n", what);
  std::exit(1);
}

std::string quoted(const std::string& text) {
  std::vector<char> escaped(text.size() * 6 + 1);
  json_escape(escaped.data(), escaped.size(), text.c_str());
  return "\"" + std::string(escaped.data()) + "\"";
}

std::string array(const std::vector<std::string>& items) {
  std::string out = "[";
  for (const std::string& item : items) out += (out.size() > 1 ? "," : "") + item;
  return out + "]";
}

std::vector<std::string> words(const char* list) {
  std::vector<std::string> out;
  std::string text = list;
  for (size_t at = 0; at < text.size();) {
    size_t comma = text.find(',', at);
    if (comma == std::string::npos) comma = text.size();
    out.push_back(quoted(text.substr(at, comma - at)));
    at = comma + 1;
  }
  return out;
}

std::string commands() {
  std::vector<std::string> items;
  for (const page_command_entry& entry : PAGE_COMMANDS) {
    std::vector<std::string> pages;
    for (const page_file& page : PAGES)
      if (entry.screens & page.screen) pages.push_back(quoted(page.file));
    items.push_back("{\"name\":" + quoted(std::string(entry.name)) + ",\"args\":" + array(words(entry.args)) +
                    ",\"result\":" + quoted(RESULT_NAMES[entry.result]) + ",\"pages\":" + array(pages) + "}");
  }
  return array(items);
}

template <size_t N>
std::string progress_of(const char* const (&stages)[N]) {
  std::vector<std::string> items;
  char message[UI_PROGRESS_MESSAGE_SIZE];
  for (const char* stage : stages)
    items.push_back(made(ui_format_progress(stage, 0, message, sizeof message), message, stage));
  return array(items);
}

template <size_t N>
std::string terminals_of(const ui_terminal_event (&events)[N]) {
  std::vector<std::string> items;
  char message[UI_TERMINAL_MESSAGE_SIZE];
  for (const ui_terminal_event& e : events)
    items.push_back(made(ui_format_terminal(e.stage, e.terminal, e.outcome, message, sizeof message), message, e.stage));
  return array(items);
}

// The answer message around a result object, as the page receives it.
std::string answer(const char* result) {
  static char message[UI_STATE_RESPONSE_SIZE];
  return made(ui_format_response(1, result, message, sizeof message), message, "an answer");
}

std::string consent_info() {
  consent_info_values fresh = {};
  fresh.host_prefix = fresh.host_domain = fresh.existing_version = "";
  fresh.analytics_enabled = 1;
  char object[CONSENT_INFO_SIZE];
  return answer(made(consent_info_json(fresh, object, sizeof object), object, "consent info"));
}

std::string install_state_answer(bool uninstall) {
  static install_state state = {};
  static browser_list browsers = {};
  browsers.count = 0;
  browser_list_add(&browsers, "\"C:\\Program Files\\Mozilla Firefox\\firefox.exe\"", "Mozilla Firefox");
  char list[BROWSERS_JSON_SIZE];
  browsers_json(&browsers, list, sizeof list);
  static char object[UI_STATE_OBJECT_SIZE];
  int formatted = uninstall ? ui_uninstall_state_object(&state, object, sizeof object)
                            : ui_install_state_object(&state, list, object, sizeof object);
  return answer(made(formatted, object, "the state object"));
}

bool write(const std::string& folder, const char* name, const std::string& json) {
  std::string path = folder + "/" + name;
  FILE* file = std::fopen(path.c_str(), "w");
  if (!file) {
    std::perror(path.c_str());
    return false;
  }
  bool written = std::fputs((json + "\n").c_str(), file) >= 0;
  return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: page_contract_export <folder>\n");
    return 2;
  }
  std::string folder = argv[1];
  std::string progress = "{\"index.html\":" + progress_of(INSTALL_PAGE_STAGES) +
                         ",\"uninstall.html\":" + progress_of(UNINSTALL_PAGE_STAGES) + "}";
  std::string terminal = "{\"index.html\":" + terminals_of(INSTALL_PAGE_TERMINALS) +
                         ",\"uninstall.html\":" + terminals_of(UNINSTALL_PAGE_TERMINALS) + "}";
  bool ok = write(folder, "commands.json", commands()) && write(folder, "progress.json", progress) &&
            write(folder, "terminal.json", terminal) && write(folder, "consent_info.json", consent_info()) &&
            write(folder, "install_state.json", install_state_answer(false)) &&
            write(folder, "uninstall_state.json", install_state_answer(true));
  return ok ? 0 : 1;
}
