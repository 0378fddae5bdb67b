// A strict reader for the flat JSON objects the program sends: the tests need to know that a
// body is valid JSON (strings, numbers, booleans; UTF-8 checked by the escaper's own rules)
// and the order and values of its members, without trusting the code under test.
#pragma once

#include <cctype>
#include <map>
#include <string>
#include <vector>

struct flat_json {
  bool valid = false;
  std::vector<std::string> keys;
  std::map<std::string, std::string> values;  // strings unescaped; numbers and booleans as written
};

namespace json_check_detail {

inline bool read_string(const std::string& t, size_t& i, std::string* out) {
  if (t[i] != '"') return false;
  for (++i; i < t.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(t[i]);
    if (c == '"') {
      ++i;
      return true;
    }
    if (c < 0x20) return false;
    if (c != '\\') {
      out->push_back(static_cast<char>(c));
      continue;
    }
    if (++i >= t.size()) return false;
    char e = t[i];
    static const std::string simple = "\"\\/bfnrt", meaning = "\"\\/\b\f\n\r\t";
    size_t k = simple.find(e);
    if (k != std::string::npos) {
      out->push_back(meaning[k]);
    } else if (e == 'u') {
      if (i + 4 >= t.size()) return false;
      unsigned code = 0;
      for (int d = 1; d <= 4; ++d) {
        if (!isxdigit(static_cast<unsigned char>(t[i + d]))) return false;
        code = code * 16 + std::stoul(std::string(1, t[i + d]), nullptr, 16);
      }
      if (code >= 0x80) return false;  // the program only escapes ASCII controls
      out->push_back(static_cast<char>(code));
      i += 4;
    } else {
      return false;
    }
  }
  return false;
}

inline bool read_scalar(const std::string& t, size_t& i, std::string* out) {
  if (t.compare(i, 4, "true") == 0 || t.compare(i, 5, "false") == 0) {
    size_t n = t[i] == 't' ? 4 : 5;
    *out = t.substr(i, n);
    i += n;
    return true;
  }
  size_t start = i;
  if (t[i] == '-') ++i;
  if (i >= t.size() || !isdigit(static_cast<unsigned char>(t[i]))) return false;
  if (t[i] == '0' && i + 1 < t.size() && isdigit(static_cast<unsigned char>(t[i + 1]))) return false;
  while (i < t.size() && isdigit(static_cast<unsigned char>(t[i]))) ++i;
  *out = t.substr(start, i - start);
  return true;
}

inline void skip_blanks(const std::string& t, size_t& i) {
  while (i < t.size() && (t[i] == ' ' || t[i] == '\t' || t[i] == '\r' || t[i] == '\n')) ++i;
}

}  // namespace json_check_detail

// Whitespace between tokens is allowed (the stand-in's own records use it); the program's
// bodies have none, which the tests compare as text where it matters.
inline flat_json parse_flat_json(const std::string& t) {
  using namespace json_check_detail;
  flat_json r;
  size_t i = 0;
  skip_blanks(t, i);
  if (i >= t.size() || t[i++] != '{') return r;
  skip_blanks(t, i);
  if (i < t.size() && t[i] == '}') {
    ++i;
    skip_blanks(t, i);
    r.valid = i == t.size();
    return r;
  }
  while (i < t.size()) {
    std::string key, value;
    if (!read_string(t, i, &key)) return r;
    skip_blanks(t, i);
    if (i >= t.size() || t[i++] != ':') return r;
    skip_blanks(t, i);
    if (i >= t.size()) return r;
    bool ok = t[i] == '"' ? read_string(t, i, &value) : read_scalar(t, i, &value);
    if (!ok || r.values.count(key)) return r;
    r.keys.push_back(key);
    r.values[key] = value;
    skip_blanks(t, i);
    if (i >= t.size()) return r;
    if (t[i] == '}') {
      ++i;
      skip_blanks(t, i);
      r.valid = i == t.size();
      return r;
    }
    if (t[i++] != ',') return r;
    skip_blanks(t, i);
  }
  return r;
}

namespace json_check_detail {

inline bool skip_value(const std::string& t, size_t& i, int depth);

inline bool skip_container(const std::string& t, size_t& i, int depth, char close) {
  bool object = close == '}';
  ++i;
  skip_blanks(t, i);
  if (i < t.size() && t[i] == close) return ++i, true;
  while (i < t.size()) {
    std::string ignored;
    if (object) {
      if (!read_string(t, i, &ignored)) return false;
      skip_blanks(t, i);
      if (i >= t.size() || t[i++] != ':') return false;
      skip_blanks(t, i);
    }
    if (!skip_value(t, i, depth + 1)) return false;
    skip_blanks(t, i);
    if (i >= t.size()) return false;
    if (t[i] == close) return ++i, true;
    if (t[i++] != ',') return false;
    skip_blanks(t, i);
  }
  return false;
}

inline bool skip_value(const std::string& t, size_t& i, int depth) {
  if (depth > 32 || i >= t.size()) return false;
  std::string ignored;
  if (t[i] == '{') return skip_container(t, i, depth, '}');
  if (t[i] == '[') return skip_container(t, i, depth, ']');
  if (t[i] == '"') return read_string(t, i, &ignored);
  if (t.compare(i, 4, "null") == 0) return i += 4, true;
  return read_scalar(t, i, &ignored);
}

}  // namespace json_check_detail

// Whether a whole text is one valid JSON value (nesting allowed), by the same string rules.
inline bool json_valid(const std::string& t) {
  size_t i = 0;
  json_check_detail::skip_blanks(t, i);
  if (!json_check_detail::skip_value(t, i, 0)) return false;
  json_check_detail::skip_blanks(t, i);
  return i == t.size();
}
