// The shared library as the engine sees it: opened by file, bound by name.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>

#include "helpers.h"

using namespace korvane_test;

TEST(SharedLibrary, ExportsTheCallsByPlainName) {
  void* lib = dlopen(KORVANE_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr) << dlerror();
  for (const char* name :
       {"Simulation", "CreateShot", "CreateHitShot", "GetScore", "KorvaneSeed"}) {
    ASSERT_NE(dlsym(lib, name), nullptr) << name;
  }
  // The library's own copy, not the one linked into this test, answers.
  auto create = reinterpret_cast<int (*)(ShotPos, ShotVec*)>(dlsym(lib, "CreateShot"));
  ShotVec got{}, want{};
  EXPECT_EQ(create(Target(2.0, 5.0, 1), &got), CreateShot(Target(2.0, 5.0, 1), &want));
  EXPECT_EQ(std::memcmp(&got, &want, sizeof got), 0);
  dlclose(lib);
}
