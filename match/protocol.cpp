#include "match/protocol.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr const char* kBestShotWord = "BESTSHOT";
constexpr const char* kReadyWord = "READYOK";
// Misspelt as the engines write it: the echo's bytes are part of the
// protocol, and an engine that spelt it right would not be recognised.
constexpr const char* kEchoPrefix = "recieved: ";
constexpr int kBestShotTokens = 4;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

struct Tokens {
  std::vector<std::string> words;
  bool lastIsOpen = false;  // the text ends inside the last word: more may follow
};

Tokens SplitWords(const std::string& text) {
  Tokens t;
  std::string word;
  for (char c : text) {
    if (IsSpace(c)) {
      if (!word.empty()) t.words.push_back(word);
      word.clear();
    } else {
      word.push_back(c);
    }
  }
  if (!word.empty()) {
    t.words.push_back(word);
    t.lastIsOpen = true;
  }
  return t;
}

bool IsPrefixOf(const std::string& part, const std::string& whole) {
  return part.size() <= whole.size() && whole.compare(0, part.size(), part) == 0;
}

// A word that the start of another reply could begin with.
bool StartsReply(const std::string& word, const std::string& replyWord) {
  return IsPrefixOf(word, replyWord) || IsPrefixOf(replyWord, word);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// [+-] digits [. digits] [(e|E) [+-] digits], at least one digit before the
// exponent: the decimal numbers that "%f" writes and atof reads. strtod
// alone would also take hexadecimal floats, "inf" and "nan".
bool IsDecimalNumber(const std::string& word) {
  size_t i = 0;
  const size_t n = word.size();
  if (i < n && (word[i] == '+' || word[i] == '-')) ++i;
  size_t digits = 0;
  for (; i < n && IsDigit(word[i]); ++i) ++digits;
  if (i < n && word[i] == '.')
    for (++i; i < n && IsDigit(word[i]); ++i) ++digits;
  if (digits == 0) return false;
  if (i < n && (word[i] == 'e' || word[i] == 'E')) {
    ++i;
    if (i < n && (word[i] == '+' || word[i] == '-')) ++i;
    size_t exponentDigits = 0;
    for (; i < n && IsDigit(word[i]); ++i) ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  return i == n;
}

bool ParseFiniteNumber(const std::string& word, float* value) {
  if (!IsDecimalNumber(word)) return false;
  char* end = nullptr;
  double d = std::strtod(word.c_str(), &end);
  if (end != word.c_str() + word.size() || !std::isfinite(d)) return false;
  float f = static_cast<float>(d);
  if (!std::isfinite(f)) return false;
  *value = f;
  return true;
}

bool CouldBeNumberStart(const std::string& word) {
  for (char c : word)
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
      return false;
  return true;
}

// Classifies word i of a BESTSHOT reply. Returns true when the word is
// acceptable (complete or still open), setting *parse for a final verdict.
bool CheckNumberWord(const Tokens& t, size_t i, float* value, ReplyParse* parse) {
  bool open = t.lastIsOpen && i + 1 == t.words.size();
  if (ParseFiniteNumber(t.words[i], value)) return true;
  *parse = open && CouldBeNumberStart(t.words[i]) ? ReplyParse::kIncomplete : ReplyParse::kGarbage;
  return false;
}

ReplyParse CheckCurlWord(const std::string& word, ShotVec* vec) {
  if (word == "0" || word == "1") {
    vec->curl = static_cast<uint8_t>(word[0] - '0');
    return ReplyParse::kComplete;
  }
  // "1BESTSHOT...": a second reply glued to the first.
  if ((word[0] == '0' || word[0] == '1') && StartsReply(word.substr(1), kBestShotWord))
    return ReplyParse::kTwoReplies;
  return ReplyParse::kGarbage;
}

}  // namespace

std::string FormatNewGame() { return "NEWGAME\n"; }
std::string FormatIsReady() { return "ISREADY\n"; }
std::string FormatGo() { return "GO\n"; }

std::string FormatSetState(int shotIndex, int endIndex, int lastEnd, int sideFlag) {
  return "SETSTATE " + std::to_string(shotIndex) + " " + std::to_string(endIndex) + " " +
         std::to_string(lastEnd) + " " + std::to_string(sideFlag) + "\n";
}

std::string FormatPosition(const float (&stones)[game::kStonesPerEnd][2]) {
  std::string out = "POSITION";
  char number[32];
  for (const auto& stone : stones) {
    for (float coordinate : stone) {
      std::snprintf(number, sizeof number, " %.9g", static_cast<double>(coordinate));
      out += number;
    }
  }
  return out + "\n";
}

std::string FormatScore(int score) { return "SCORE " + std::to_string(score) + "\n"; }

std::string WithoutEchoLines(const std::string& text) {
  const std::string echo = kEchoPrefix;
  std::string out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    const bool finished = end != std::string::npos;
    const std::string line = text.substr(start, finished ? end + 1 - start : std::string::npos);
    const bool isEcho = IsPrefixOf(echo, line) || (!finished && IsPrefixOf(line, echo));
    if (!isEcho) out += line;
    if (!finished) break;
    start = end + 1;
  }
  return out;
}

ReplyParse ParseBestShot(const std::string& rawText, ShotVec* vec) {
  Tokens t = SplitWords(WithoutEchoLines(rawText));
  if (t.words.empty()) return ReplyParse::kIncomplete;
  const std::string& head = t.words[0];
  if (head != kBestShotWord) {
    bool open = t.lastIsOpen && t.words.size() == 1;
    return open && IsPrefixOf(head, kBestShotWord) ? ReplyParse::kIncomplete : ReplyParse::kGarbage;
  }
  ShotVec parsed{};
  ReplyParse verdict = ReplyParse::kIncomplete;
  if (t.words.size() < 2) return ReplyParse::kIncomplete;
  if (!CheckNumberWord(t, 1, &parsed.vx, &verdict)) return verdict;
  if (t.words.size() < 3) return ReplyParse::kIncomplete;
  if (!CheckNumberWord(t, 2, &parsed.vy, &verdict)) return verdict;
  if (t.words.size() < kBestShotTokens) return ReplyParse::kIncomplete;
  verdict = CheckCurlWord(t.words[3], &parsed);
  if (verdict != ReplyParse::kComplete) {
    if (verdict == ReplyParse::kGarbage && t.lastIsOpen && t.words.size() == kBestShotTokens &&
        (t.words[3] == "-" || t.words[3] == "+"))
      return ReplyParse::kIncomplete;
    return verdict;
  }
  if (t.words.size() > kBestShotTokens)
    return StartsReply(t.words[kBestShotTokens], kBestShotWord) ? ReplyParse::kTwoReplies
                                                                : ReplyParse::kGarbage;
  *vec = parsed;
  return ReplyParse::kComplete;
}

ReplyParse ParseReadyOk(const std::string& rawText) {
  Tokens t = SplitWords(WithoutEchoLines(rawText));
  if (t.words.empty()) return ReplyParse::kIncomplete;
  const std::string& head = t.words[0];
  if (head == kReadyWord) {
    if (t.words.size() == 1) return ReplyParse::kComplete;
    return StartsReply(t.words[1], kReadyWord) ? ReplyParse::kTwoReplies : ReplyParse::kGarbage;
  }
  if (t.words.size() == 1 && t.lastIsOpen && IsPrefixOf(head, kReadyWord))
    return ReplyParse::kIncomplete;
  if (IsPrefixOf(kReadyWord, head) && StartsReply(head.substr(7), kReadyWord))
    return ReplyParse::kTwoReplies;
  return ReplyParse::kGarbage;
}

std::string Printable(const std::string& text, size_t maxBytes) {
  std::string out;
  size_t n = text.size() < maxBytes ? text.size() : maxBytes;
  char hex[8];
  for (size_t i = 0; i < n; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\\') {
      out += "\\\\";
    } else if (c < 32 || c >= 127) {
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  if (n < text.size()) out += "...";
  return out;
}
