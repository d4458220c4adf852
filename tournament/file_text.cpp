#include "tournament/file_text.h"

#include <filesystem>
#include <fstream>
#include <sstream>

bool ReadWholeFile(const std::string& path, std::string* text) {
  std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
  if (!in) return false;
  std::stringstream buffer;
  buffer << in.rdbuf();
  *text = buffer.str();
  return !in.bad();
}

bool WriteWholeFile(const std::string& path, const std::string& text) {
  std::ofstream out(std::filesystem::u8path(path), std::ios::binary | std::ios::trunc);
  out << text;
  out.flush();
  return static_cast<bool>(out);
}
