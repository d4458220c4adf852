#include "tests/match/json_check.h"

#include <cstdlib>
#include <cstring>

namespace {

struct Reader {
  const std::string& s;
  size_t i = 0;
  int depth = 0;

  void Space() {
    while (i < s.size() && std::strchr(" \t\r\n", s[i])) ++i;
  }
  bool Eat(char c) {
    Space();
    if (i < s.size() && s[i] == c) return ++i, true;
    return false;
  }
  bool Word(const char* w, Json* out, Json::Kind kind, bool value) {
    size_t n = std::strlen(w);
    if (s.compare(i, n, w) != 0) return false;
    i += n;
    out->kind = kind;
    out->boolean = value;
    return true;
  }
  bool String(std::string* out) {
    if (!Eat('"')) return false;
    while (i < s.size() && s[i] != '"') {
      unsigned char c = static_cast<unsigned char>(s[i]);
      if (c < 32) return false;
      if (c != '\\') {
        out->push_back(s[i++]);
        continue;
      }
      if (++i >= s.size()) return false;
      char e = s[i++];
      if (e == 'u') {
        if (i + 4 > s.size()) return false;
        long code = std::strtol(s.substr(i, 4).c_str(), nullptr, 16);
        i += 4;
        out->push_back(static_cast<char>(code));  // the runner escapes single bytes only
      } else if (std::strchr("\"\\/", e)) {
        out->push_back(e);
      } else if (e == 'n') {
        out->push_back('\n');
      } else if (e == 't') {
        out->push_back('\t');
      } else if (e == 'r') {
        out->push_back('\r');
      } else if (e != 'b' && e != 'f') {
        return false;
      }
    }
    return Eat('"');
  }
  bool Number(Json* out) {
    const char* start = s.c_str() + i;
    char* end = nullptr;
    out->number = std::strtod(start, &end);
    if (end == start) return false;
    i += static_cast<size_t>(end - start);
    out->kind = Json::kNumber;
    return true;
  }
  bool Value(Json* out) {
    if (++depth > 64) return false;
    Space();
    if (i >= s.size()) return false;
    bool ok = false;
    char c = s[i];
    if (c == '{') {
      ++i;
      out->kind = Json::kObject;
      ok = Eat('}');
      while (!ok) {
        std::string key;
        Json value;
        if (!String(&key) || !Eat(':') || !Value(&value)) return false;
        out->members[key] = value;
        if (Eat('}'))
          ok = true;
        else if (!Eat(','))
          return false;
      }
    } else if (c == '[') {
      ++i;
      out->kind = Json::kArray;
      ok = Eat(']');
      while (!ok) {
        out->items.emplace_back();
        if (!Value(&out->items.back())) return false;
        if (Eat(']'))
          ok = true;
        else if (!Eat(','))
          return false;
      }
    } else if (c == '"') {
      out->kind = Json::kString;
      ok = String(&out->text);
    } else if (c == 't' || c == 'f' || c == 'n') {
      ok = Word("true", out, Json::kBool, true) || Word("false", out, Json::kBool, false) ||
           Word("null", out, Json::kNull, false);
    } else {
      ok = Number(out);
    }
    --depth;
    return ok;
  }
};

const Json& NullJson() {
  static const Json null;
  return null;
}

}  // namespace

const Json& Json::operator[](const std::string& key) const {
  auto it = members.find(key);
  return it == members.end() ? NullJson() : it->second;
}

const Json& Json::operator[](size_t index) const {
  return index < items.size() ? items[index] : NullJson();
}

bool ParseJson(const std::string& text, Json* out) {
  Reader r{text};
  *out = Json{};
  if (!r.Value(out)) return false;
  r.Space();
  return r.i == text.size();
}
