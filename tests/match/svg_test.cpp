#include "match/svg.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "tests/match/support.h"

namespace {

bool NearColour(const int (&rgb)[3], const char* hex) {
  const long v = std::strtol(hex + 1, nullptr, 16);
  for (int c = 0; c < 3; ++c)
    if (std::abs(rgb[c] - static_cast<int>((v >> (16 - 8 * c)) & 255)) >= 40) return false;
  return true;
}

}  // namespace

// End 2, B threw first; stones 0 (B), 1 (A) and 2 (B) at rest, stone 2 just
// thrown along a straight path, stone 3 (A) out of play. The picture is
// also rendered in headless Chromium: the pixels at the stones' places must
// have their sides' colours, the empty house neither.
TEST(HousePicture, DrawsTheMovedStonesPathAndStonesWhereTheRecordPutsThem) {
  GameRecord game;
  game.table.endScores = {1};
  EndRecord end;
  end.endIndex = 1;
  end.firstThrower = kSeatB;
  StoneRecord stone;
  stone.shotIndex = 3;
  stone.seat = kSeatA;
  stone.reply = "BESTSHOT 0.1 -2.2 1 <&>";
  const float at[4][2] = {{1.5f, 6.5f}, {2.375f, 4.88f}, {3.2f, 9.0f}, {0.0f, 0.0f}};
  std::memcpy(stone.after, at, sizeof at);
  PathFrame frames[3] = {};
  for (int f = 0; f < 3; ++f) {
    std::memcpy(frames[f].stones, at, sizeof at);
    frames[f].time = 0.1f * f;
  }
  frames[0].stones[2][1] = 33.23f;
  frames[1].stones[2][1] = 20.0f;
  const std::string svg = StoneSvg(StoneView{&game, &end, &stone, frames, 3});
  EXPECT_NE(svg.find("<polyline"), std::string::npos);
  EXPECT_EQ(svg.find("<polyline"), svg.rfind("<polyline"));  // only stone 2 moved
  EXPECT_NE(svg.find("&lt;&amp;&gt;"), std::string::npos);

  if (std::system("command -v chromium >/dev/null 2>&1") != 0) {
    if (std::getenv("CI")) FAIL() << "chromium is needed to check the pictures";
    GTEST_SKIP() << "chromium not installed";
  }
  const std::string dir = MakeTempDir();
  std::ofstream(dir + "/house.svg") << svg;
  const std::string size = std::to_string(SvgWidthPx()) + "," + std::to_string(SvgHeightPx());
  const CommandResult shot = RunCommand(
      "timeout 60 chromium --headless --disable-gpu --no-sandbox --hide-scrollbars "
      "--user-data-dir=" +
      dir + "/profile --screenshot=" + dir + "/house.png --window-size=" + size + " file://" + dir +
      "/house.svg 2>&1");
  ASSERT_EQ(shot.status, 0) << shot.output;

  const double points[][2] = {{1.5, 6.5}, {2.375, 4.88}, {3.2, 9.0}, {2.375 + 1.0, 4.88}};
  std::string args;
  for (const auto& p : points)
    args += " " + std::to_string(SvgPixelX(p[0])) + " " + std::to_string(SvgPixelY(p[1]));
  const CommandResult probe =
      RunCommand("/usr/bin/python3 " PNG_PROBE " " + dir + "/house.png" + args);
  ASSERT_EQ(probe.status, 0) << probe.output;
  std::istringstream in(probe.output);
  int width = 0, height = 0, rgb[4][3] = {};
  in >> width >> height;
  EXPECT_TRUE(width == SvgWidthPx() && height == SvgHeightPx()) << probe.output;
  for (auto& p : rgb) in >> p[0] >> p[1] >> p[2];
  // B, A, B at rest; the empty house next to the tee in neither colour.
  for (int p = 0; p < 4; ++p) {
    EXPECT_EQ(NearColour(rgb[p], kColourA), p == 1) << p << ": " << probe.output;
    EXPECT_EQ(NearColour(rgb[p], kColourB), p == 0 || p == 2) << p << ": " << probe.output;
  }
}
