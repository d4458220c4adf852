// A small strict JSON reader for checking the runner's records in tests.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

struct Json {
  enum Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = kNull;
  bool boolean = false;
  double number = 0.0;
  std::string text;
  std::vector<Json> items;
  std::map<std::string, Json> members;

  // Member or item; a null value when absent, so chains never throw.
  const Json& operator[](const std::string& key) const;
  const Json& operator[](size_t index) const;
  size_t size() const { return kind == kArray ? items.size() : members.size(); }
};

// False when text is not one complete JSON value (white space around it allowed).
bool ParseJson(const std::string& text, Json* out);
