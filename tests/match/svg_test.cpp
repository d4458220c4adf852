#include "match/svg.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "tests/match/support.h"

namespace {

struct Scene {
  GameRecord game;
  EndRecord end;
  StoneRecord stone;
  std::vector<PathFrame> frames;
};

// End 2, B threw first; stones 0 (B) and 2 (B) and 1 (A) at rest, stone 2
// just thrown along a straight path, stone 3 (A) out of play.
Scene MakeScene() {
  Scene s;
  s.game.table.endScores = {1};
  s.end.endIndex = 1;
  s.end.firstThrower = kSeatB;
  s.stone.shotIndex = 3;
  s.stone.seat = kSeatA;
  s.stone.reply = "BESTSHOT 0.1 -2.2 1 <&>";
  const float at[4][2] = {{1.5f, 6.5f}, {2.375f, 4.88f}, {3.2f, 9.0f}, {0.0f, 0.0f}};
  for (int i = 0; i < 4; ++i)
    for (int c = 0; c < 2; ++c) s.stone.after[i][c] = at[i][c];
  s.frames.resize(3);
  for (int f = 0; f < 3; ++f) {
    for (int i = 0; i < 4; ++i)
      for (int c = 0; c < 2; ++c) s.frames[f].stones[i][c] = at[i][c];
    s.frames[f].time = 0.1f * f;
  }
  s.frames[0].stones[2][1] = 33.23f;
  s.frames[1].stones[2][1] = 20.0f;
  return s;
}

StoneView ViewOf(const Scene& s) {
  return StoneView{&s.game, &s.end, &s.stone, s.frames.data(), static_cast<int>(s.frames.size())};
}

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

bool NearColour(int r, int g, int b, const char* hex) {
  const long v = std::strtol(hex + 1, nullptr, 16);
  const int want[3] = {static_cast<int>(v >> 16), static_cast<int>((v >> 8) & 255),
                       static_cast<int>(v & 255)};
  return std::abs(r - want[0]) < 40 && std::abs(g - want[1]) < 40 && std::abs(b - want[2]) < 40;
}

}  // namespace

TEST(HousePicture, DrawsStonesInPlayInTheirSidesColoursAndTheMovingPath) {
  const Scene scene = MakeScene();
  const std::string svg = StoneSvg(ViewOf(scene));
  EXPECT_EQ(Count(svg, "fill=\"" + std::string(kColourB) + "\" stroke=\"#444\""), 2);
  EXPECT_EQ(Count(svg, "fill=\"" + std::string(kColourA) + "\" stroke=\"#444\""), 1);
  EXPECT_EQ(Count(svg, "<polyline"), 1);  // only stone 2 moved
  EXPECT_NE(svg.find("Stone 4/16 by A"), std::string::npos);
  EXPECT_NE(svg.find("Score A 1 - 0 B"), std::string::npos);
  EXPECT_NE(svg.find("&lt;&amp;&gt;"), std::string::npos);
  EXPECT_EQ(SvgFileName(0, 1, 3), "game01-end02-stone04.svg");
}

// Renders a picture in headless Chromium and checks that the pixels at the
// stones' places have their colours and the empty house does not.
TEST(HousePicture, RendersInChromiumWithStonesWhereTheRecordPutsThem) {
  const bool ci = std::getenv("CI") != nullptr;
  if (std::system("command -v chromium >/dev/null 2>&1") != 0 ||
      std::system("command -v python3 >/dev/null 2>&1") != 0) {
    if (ci) FAIL() << "chromium and python3 are needed to check the pictures";
    GTEST_SKIP() << "chromium or python3 not installed";
  }
  const std::string dir = MakeTempDir();
  const Scene scene = MakeScene();
  WriteTextFile(dir + "/house.svg", StoneSvg(ViewOf(scene)));
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
  const CommandResult probe = RunCommand("python3 " PNG_PROBE " " + dir + "/house.png" + args);
  ASSERT_EQ(probe.status, 0) << probe.output;
  std::istringstream in(probe.output);
  int width = 0, height = 0;
  in >> width >> height;
  EXPECT_EQ(width, SvgWidthPx());
  EXPECT_EQ(height, SvgHeightPx());
  int rgb[4][3] = {};
  for (auto& p : rgb) in >> p[0] >> p[1] >> p[2];
  EXPECT_TRUE(NearColour(rgb[0][0], rgb[0][1], rgb[0][2], kColourB)) << probe.output;
  EXPECT_TRUE(NearColour(rgb[1][0], rgb[1][1], rgb[1][2], kColourA)) << probe.output;
  EXPECT_TRUE(NearColour(rgb[2][0], rgb[2][1], rgb[2][2], kColourB)) << probe.output;
  EXPECT_FALSE(NearColour(rgb[3][0], rgb[3][1], rgb[3][2], kColourA)) << probe.output;
  EXPECT_FALSE(NearColour(rgb[3][0], rgb[3][1], rgb[3][2], kColourB)) << probe.output;
}
