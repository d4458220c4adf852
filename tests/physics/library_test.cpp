// The shared library as the engine sees it: opened by file, bound by name.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "helpers.h"

using namespace korvane_test;

TEST(SharedLibrary, ExportsTheCallsByPlainName) {
  void* lib = dlopen(KORVANE_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr) << dlerror();
  for (const char* name :
       {"Simulation", "CreateShot", "CreateHitShot", "GetScore", "KorvaneSeed"}) {
    EXPECT_NE(dlsym(lib, name), nullptr) << name;
  }
  // Internal functions stay hidden.
  EXPECT_EQ(dlsym(lib, "_ZN7korvane8PlayShotEP9GameState7ShotVecfP9PathFrameiPNS_3RngE"), nullptr);
  using CreateShotFn = int (*)(ShotPos, ShotVec*);
  using SimulationFn = int (*)(GameState*, ShotVec, float, PathFrame*, int);
  auto create = reinterpret_cast<CreateShotFn>(dlsym(lib, "CreateShot"));
  auto simulate = reinterpret_cast<SimulationFn>(dlsym(lib, "Simulation"));
  ASSERT_TRUE(create && simulate);
  ShotVec v;
  EXPECT_EQ(create(Target(2.0, 5.0, 1), &v), 1);
  GameState s = EmptyEnd();
  EXPECT_EQ(simulate(&s, v, 0.0f, nullptr, -1), 1);
  EXPECT_NEAR(s.stones[0][0], 2.0, 0.001);
  EXPECT_NEAR(s.stones[0][1], 5.0, 0.001);
  EXPECT_EQ(s.shotIndex, 1);
  dlclose(lib);
}
