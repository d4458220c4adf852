#include "tournament/run_series.h"

void AddToSeries(const Tables& t, const GameLine& game, RunSeries* series) {
  PlotPoint point;
  point.played = static_cast<int>(t.games);
  point.game = game.game + 1;
  if (t.sprt) {
    point.value = t.sprtState.llr;
    series->llr.push_back(point);
  }
  const EloEstimate& e = t.pairings.at(0).elo;
  if (!e.hasInterval) return;
  point.value = e.elo;
  point.hasInterval = true;
  point.low = e.low;
  point.high = e.high;
  series->elo.push_back(point);
}

RunSeries SeriesOf(const RunInfo& info, const std::vector<GameLine>& games) {
  RunSeries series;
  std::vector<GameLine> prefix;
  for (const GameLine& g : games) {
    prefix.push_back(g);
    AddToSeries(ComputeTables(info, prefix, false), g, &series);
  }
  return series;
}
