#include "tournament/help_text.h"

#include <algorithm>
#include <sstream>

namespace {

// Names and values wider than this put the description on the next line.
constexpr int kNameColumn = 26;

std::string Names(const CLI::Option* opt) {
  if (!opt->nonpositional()) return opt->get_option_text();
  std::string names;
  for (const std::string& s : opt->get_snames()) names += (names.empty() ? "-" : ", -") + s;
  for (const std::string& l : opt->get_lnames()) names += (names.empty() ? "--" : ", --") + l;
  if (!opt->get_option_text().empty()) names += " " + opt->get_option_text();
  return names;
}

}  // namespace

std::string WrapText(const std::string& text, int indent, int width, bool indentFirst) {
  std::istringstream words(text);
  const std::string pad(static_cast<size_t>(indent), ' ');
  std::string out = indentFirst ? pad : "", line;
  for (std::string word; words >> word;) {
    if (!line.empty() && static_cast<int>(indent + line.size() + 1 + word.size()) > width) {
      out += line + "\n" + pad;
      line.clear();
    }
    line += (line.empty() ? "" : " ") + word;
  }
  return out + line + "\n";
}

HelpFormatter::HelpFormatter(std::vector<std::string> groups,
                             std::map<const CLI::App*, std::string> usage,
                             std::map<const CLI::App*, std::vector<BorrowedOption>> borrowed)
    : groups_(std::move(groups)), usage_(std::move(usage)), borrowed_(std::move(borrowed)) {}

std::string HelpFormatter::OptionEntry(const CLI::Option* opt,
                                       const std::string& description) const {
  const std::string names = "  " + Names(opt);
  std::string entry = names;
  if (static_cast<int>(names.size()) < kNameColumn - 1)
    entry += std::string(kNameColumn - names.size(), ' ');
  else
    entry += "\n" + std::string(kNameColumn, ' ');
  return entry + WrapText(description, kNameColumn, kHelpWidth, false);
}

std::string HelpFormatter::make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const {
  std::string out = WrapText(app->get_description(), 0, kHelpWidth, false) + "\n";
  const auto usage = usage_.find(app);
  if (usage != usage_.end()) out += usage->second;
  // Groups in the chosen order, then any other in the order of definition.
  std::vector<std::string> order = groups_;
  for (const CLI::Option* opt : app->get_options())
    if (std::find(order.begin(), order.end(), opt->get_group()) == order.end())
      order.push_back(opt->get_group());
  const auto borrowed = borrowed_.find(app);
  for (const std::string& group : order) {
    std::string entries;
    for (const CLI::Option* opt : app->get_options())
      if (opt->get_group() == group) entries += OptionEntry(opt, opt->get_description());
    if (borrowed != borrowed_.end())
      for (const BorrowedOption& b : borrowed->second) {
        const CLI::Option* opt = app->get_parent()->get_option(b.name);
        if (opt->get_group() != group) continue;
        entries += OptionEntry(opt, b.description.empty() ? opt->get_description() : b.description);
      }
    if (!entries.empty()) out += "\n" + group + ":\n" + entries;
  }
  std::string commands;
  for (const CLI::App* sub : app->get_subcommands({})) {
    std::string name = "  " + sub->get_name();
    for (const CLI::Option* opt : sub->get_options())
      if (opt->get_positional()) name += " " + opt->get_option_text();
    name += static_cast<int>(name.size()) < kNameColumn - 1
                ? std::string(kNameColumn - name.size(), ' ')
                : "\n" + std::string(kNameColumn, ' ');
    commands += name + WrapText(sub->get_description(), kNameColumn, kHelpWidth, false);
  }
  if (!commands.empty()) out += "\nCommands:\n" + commands;
  if (!app->get_footer().empty()) out += "\n" + app->get_footer();
  return out;
}

std::string NearestName(const std::string& word, const std::vector<std::string>& candidates) {
  // Optimal string alignment distance: a swap of two neighbours counts as
  // one slip, as in --gmaes for --games.
  auto distance = [](const std::string& a, const std::string& b) {
    std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i) d[i][0] = static_cast<int>(i);
    for (size_t j = 0; j <= b.size(); ++j) d[0][j] = static_cast<int>(j);
    for (size_t i = 1; i <= a.size(); ++i)
      for (size_t j = 1; j <= b.size(); ++j) {
        d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                            d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
        if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
          d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    return d[a.size()][b.size()];
  };
  std::string best;
  int bestDistance = 0;
  for (const std::string& c : candidates) {
    const int dist = distance(word, c);
    if (best.empty() || dist < bestDistance) {
      best = c;
      bestDistance = dist;
    }
  }
  // A third of the name may be wrong; more and the guess is rarely right.
  const size_t dashes = std::min(word.find_first_not_of('-'), word.size());
  const int allowed = std::max(1, static_cast<int>(word.size() - dashes) / 3);
  return !best.empty() && bestDistance <= allowed ? best : "";
}
