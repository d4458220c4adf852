// The vectorised physics calls. The Python layer (curling/physics.py)
// checks and converts the user's arrays; these checks only keep a wrong
// call from reading or writing outside its arrays.
#include <pybind11/numpy.h>

#include <cstddef>
#include <cstring>
#include <stdexcept>
#include <string>

#include "batch.h"
#include "bindings.h"

namespace py = pybind11;

namespace {

using FloatArray = py::array_t<float, py::array::c_style>;

int64_t CheckStates(const py::array& states, const char* name) {
  if (states.ndim() != 1 || states.itemsize() != sizeof(GameState) ||
      !(states.flags() & py::array::c_style) || states.dtype().kind() != 'V')
    throw py::value_error(std::string(name) + ": a one-dimensional contiguous array of STATE_DTYPE");
  return states.shape(0);
}

void CheckRows(const FloatArray& a, int64_t rows, int columns, const char* name) {
  const bool shape = columns > 0 ? a.ndim() == 2 && a.shape(1) == columns : a.ndim() == 1;
  if (!shape || a.shape(0) != rows)
    throw py::value_error(std::string(name) + ": wrong shape");
}

FloatArray Rows(int64_t n) { return FloatArray({static_cast<py::ssize_t>(n), py::ssize_t{3}}); }

py::object Simulate(const py::array& states, const FloatArray& shots, float noise,
                    py::object seed, int threads, int frames) {
  const int64_t n = CheckStates(states, "states");
  CheckRows(shots, n, 3, "shots");
  BatchOptions options;
  options.noise = noise;
  options.threads = threads;
  if (!seed.is_none()) {
    options.seeded = true;
    options.seed = seed.cast<uint64_t>();
  }
  py::array out(states.dtype(), std::vector<py::ssize_t>{n});
  FloatArray positions(std::vector<py::ssize_t>{frames > 0 ? n : 0, frames, 16, 2});
  {
    py::gil_scoped_release release;
    SimulateBatch(ModulePhysics(), static_cast<const GameState*>(states.data()),
                  static_cast<GameState*>(out.mutable_data()), shots.data(), n, options, frames > 0 ? positions.mutable_data() : nullptr, frames);
  }
  if (frames > 0) return py::make_tuple(out, positions);
  return std::move(out);
}

FloatArray CreateShots(const FloatArray& targets, int threads) {
  const int64_t n = targets.ndim() > 0 ? targets.shape(0) : -1;
  CheckRows(targets, n, 3, "targets");
  FloatArray out = Rows(n);
  {
    py::gil_scoped_release release;
    CreateShotBatch(ModulePhysics(), targets.data(), n, out.mutable_data(), threads);
  }
  return out;
}

FloatArray CreateHitShots(const FloatArray& targets, const FloatArray& power, int threads) {
  const int64_t n = targets.ndim() > 0 ? targets.shape(0) : -1;
  CheckRows(targets, n, 3, "targets");
  CheckRows(power, n, 0, "power");
  FloatArray out = Rows(n);
  {
    py::gil_scoped_release release;
    CreateHitShotBatch(ModulePhysics(), targets.data(), power.data(), n, out.mutable_data(),
                       threads);
  }
  return out;
}

py::array_t<int32_t> Scores(const py::array& states, int threads) {
  const int64_t n = CheckStates(states, "states");
  py::array_t<int32_t> out(n);
  {
    py::gil_scoped_release release;
    ScoreBatch(ModulePhysics(), static_cast<const GameState*>(states.data()), n,
               out.mutable_data(), threads);
  }
  return out;
}

py::dict RecordLayout() {
  py::dict d;
  d["size"] = sizeof(GameState);
  d["shot_index"] = offsetof(GameState, shotIndex);
  d["end_index"] = offsetof(GameState, endIndex);
  d["last_end"] = offsetof(GameState, lastEnd);
  d["end_score"] = offsetof(GameState, endScore);
  d["side_to_move"] = offsetof(GameState, sideToMove);
  d["stones"] = offsetof(GameState, stones);
  return d;
}

}  // namespace

void AddPhysics(py::module_& m) {
  m.def("record_layout", &RecordLayout, "sizeof and field offsets of the C game record");
  m.def("item_seed", &ItemSeed, py::arg("seed"), py::arg("index"),
        "the physics seed of item index of a seeded batch");
  m.def("simulate", &Simulate, py::arg("states"), py::arg("shots"), py::arg("noise"),
        py::arg("seed"), py::arg("threads"), py::arg("frames"));
  m.def("create_shot", &CreateShots, py::arg("targets"), py::arg("threads"));
  m.def("create_hit_shot", &CreateHitShots, py::arg("targets"), py::arg("power"),
        py::arg("threads"));
  m.def("score", &Scores, py::arg("states"), py::arg("threads"));
}
