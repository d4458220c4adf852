// The batch of games behind curling.Env and curling.VectorEnv. The Python
// layer checks the actions; these checks only keep a wrong call from
// reading or writing outside its arrays.
#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <memory>
#include <string>

#include "bindings.h"
#include "game_record.h"
#include "games.h"

namespace py = pybind11;

namespace {

// The batch and its output arrays, which Python reads as views.
struct GamesHandle {
  Games games;
  py::array_t<float> obs;
  py::array_t<float> reward;
  py::array_t<uint8_t> terminated;
  py::array_t<uint8_t> awaiting;

  int Size() const { return static_cast<int>(games.games.size()); }
  StepOutputs Outputs() {
    return StepOutputs{obs.mutable_data(), reward.mutable_data(), terminated.mutable_data(),
                       awaiting.mutable_data()};
  }
  void CheckIndex(int i) const {
    if (i < 0 || i >= Size()) throw py::index_error("game index out of range");
  }
};

template <typename T>
void CheckLength(const py::array_t<T, py::array::c_style>& a, int n, int columns, const char* name) {
  const bool shape = columns > 0 ? a.ndim() == 2 && a.shape(1) == columns : a.ndim() == 1;
  if (!shape || a.shape(0) != n) throw py::value_error(std::string(name) + ": wrong shape");
}

using Mask = py::array_t<uint8_t, py::array::c_style>;
using Actions = py::array_t<float, py::array::c_style>;

std::unique_ptr<GamesHandle> Make(int n, int ends, float noise, int opponent, int64_t samples,
                                  double ms, int action, int reward, int threads) {
  if (n < 1) throw py::value_error("n: at least one game");
  auto h = std::make_unique<GamesHandle>();
  GamesConfig& c = h->games.config;
  c.rules.ends = ends;
  c.rules.noise = noise;
  c.opponent.kind = static_cast<OpponentKind>(opponent);
  c.opponent.searchSamples = samples;
  c.opponent.searchMs = ms;
  c.action = static_cast<ActionKind>(action);
  c.reward = static_cast<RewardKind>(reward);
  c.threads = threads;
  h->games.physics = ModulePhysics();
  h->games.games.resize(n);
  h->obs = py::array_t<float>({n, kObsSize});
  h->reward = py::array_t<float>(n);
  h->terminated = py::array_t<uint8_t>(n);
  h->awaiting = py::array_t<uint8_t>(n);
  return h;
}

void Reset(GamesHandle& h, const Mask& mask, const py::array_t<uint64_t, py::array::c_style>& seeds,
           const py::array_t<int8_t, py::array::c_style>& hammer) {
  const int n = h.Size();
  CheckLength(mask, n, 0, "mask");
  CheckLength(seeds, n, 0, "seeds");
  CheckLength(hammer, n, 0, "hammer");
  py::gil_scoped_release release;
  ResetGames(&h.games, mask.data(), seeds.data(), hammer.data(), h.Outputs());
}

void Step(GamesHandle& h, const Mask& mask, const Actions& actions, const Mask& restart,
          const py::array_t<uint64_t, py::array::c_style>& seeds) {
  const int n = h.Size();
  CheckLength(mask, n, 0, "mask");
  CheckLength(actions, n, 3, "actions");
  CheckLength(restart, n, 0, "restart");
  CheckLength(seeds, n, 0, "seeds");
  py::gil_scoped_release release;
  StepGames(&h.games, mask.data(), actions.data(), restart.data(), seeds.data(), h.Outputs());
}

void OpponentStep(GamesHandle& h, const Mask& mask, const Actions& actions) {
  const int n = h.Size();
  CheckLength(mask, n, 0, "mask");
  CheckLength(actions, n, 3, "actions");
  py::gil_scoped_release release;
  OpponentMoves(&h.games, mask.data(), actions.data(), h.Outputs());
}

py::array_t<float> ObserveSeat(GamesHandle& h, int i, int seat) {
  h.CheckIndex(i);
  py::array_t<float> out(kObsSize);
  Observe(h.games.games[i], h.games.config.rules, seat == 0 ? kSeatA : kSeatB, out.mutable_data());
  return out;
}

py::dict Facts(GamesHandle& h, int i) {
  h.CheckIndex(i);
  const Game& g = h.games.games[i];
  py::dict d;
  d["points"] = py::make_tuple(Points(g, kSeatA), Points(g, kSeatB));
  d["end_scores"] = g.table.endScores;
  d["over"] = g.over;
  d["outcome"] = Outcome(g, kSeatA);
  d["seat_to_move"] = static_cast<int>(SeatToMove(g));
  d["stones_thrown"] = g.log.size();
  d["seed"] = g.seed;
  return d;
}

RecordNames Names(const std::string& a, const std::string& b, const std::string& startedAt) {
  return RecordNames{a, b, startedAt};
}

}  // namespace

void AddGames(py::module_& m) {
  m.attr("OBS_SIZE") = kObsSize;
  py::class_<GamesHandle>(m, "Games")
      .def(py::init(&Make), py::arg("n"), py::arg("ends"), py::arg("noise"), py::arg("opponent"),
           py::arg("search_samples"), py::arg("search_ms"), py::arg("action"), py::arg("reward"),
           py::arg("threads"))
      .def_readonly("obs", &GamesHandle::obs)
      .def_readonly("reward", &GamesHandle::reward)
      .def_readonly("terminated", &GamesHandle::terminated)
      .def_readonly("awaiting", &GamesHandle::awaiting)
      .def("reset", &Reset, py::arg("mask"), py::arg("seeds"), py::arg("hammer"))
      .def("step", &Step, py::arg("mask"), py::arg("actions"), py::arg("restart"), py::arg("seeds"))
      .def("opponent_step", &OpponentStep, py::arg("mask"), py::arg("actions"))
      .def("observe", &ObserveSeat, py::arg("index"), py::arg("seat"))
      .def("facts", &Facts, py::arg("index"))
      .def("record_json",
           [](GamesHandle& h, int i, const std::string& a, const std::string& b,
              const std::string& at) {
             h.CheckIndex(i);
             return GameRecordJson(h.games.games[i], h.games.config.rules, Names(a, b, at));
           })
      .def("svg", [](GamesHandle& h, int i, const std::string& a, const std::string& b,
                     const std::string& at) {
        h.CheckIndex(i);
        return GameSvg(h.games.games[i], h.games.config.rules, Names(a, b, at));
      });
}
