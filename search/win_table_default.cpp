#include "search/win_table.h"

namespace search {
namespace {

// Ten regular ends and room for extra ends; a lead beyond 40 is as won.
constexpr int kTableEnds = 16;
constexpr int kTableLead = 40;

}  // namespace

const EndScoreDistribution& MeasuredEndScores() {
  static const EndScoreDistribution kMeasured =
#include "search/win_table_data.inc"
      ;
  return kMeasured;
}

const WinTable& DefaultWinTable() {
  static const WinTable kTable = BuildWinTable(MeasuredEndScores(), kTableEnds, kTableLead);
  return kTable;
}

}  // namespace search
