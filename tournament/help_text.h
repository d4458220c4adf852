// The help of curling-match as a person reads it: options in named groups,
// each with its value and its default in words, wrapped to the width of a
// terminal, examples at the end; and the nearest option to a mistyped one.
#pragma once

#include <CLI/CLI.hpp>
#include <map>
#include <string>
#include <vector>

constexpr int kHelpWidth = 100;

// An option of the parent that a subcommand passes on, with what it does
// there ("" when that is what it does in the parent).
struct BorrowedOption {
  std::string name;
  std::string description;
};

class HelpFormatter : public CLI::Formatter {
 public:
  // groups: the order in which option groups are shown (others follow).
  // usage: the usage lines of an app. borrowed: options of the parent that
  // a subcommand's help lists too, because the subcommand passes them on.
  HelpFormatter(std::vector<std::string> groups, std::map<const CLI::App*, std::string> usage,
                std::map<const CLI::App*, std::vector<BorrowedOption>> borrowed);
  std::string make_help(const CLI::App* app, std::string name, CLI::AppFormatMode mode) const override;

 private:
  std::string OptionEntry(const CLI::Option* opt, const std::string& description) const;
  std::vector<std::string> groups_;
  std::map<const CLI::App*, std::string> usage_;
  std::map<const CLI::App*, std::vector<BorrowedOption>> borrowed_;
};

// text broken at spaces into lines of at most width - indent columns, each
// line after the first (and the first too when indentFirst) indented.
std::string WrapText(const std::string& text, int indent, int width, bool indentFirst);

// The candidate closest to word when it is close enough to be a likely
// typing slip, or "".
std::string NearestName(const std::string& word, const std::vector<std::string>& candidates);
