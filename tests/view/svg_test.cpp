// The per-stone picture and the replay page as files: what they draw and
// that they need nothing from outside. The page in a browser is
// browser_check.py's job.
#include "view/svg.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "tests/record/support.h"
#include "tests/tournament/support.h"
#include "view/index_page.h"
#include "view/replay_page.h"

namespace {

bool NearColour(const int (&rgb)[3], const char* hex) {
  const long v = std::strtol(hex + 1, nullptr, 16);
  for (int c = 0; c < 3; ++c)
    if (std::abs(rgb[c] - static_cast<int>((v >> (16 - 8 * c)) & 255)) >= 40) return false;
  return true;
}

// End 2, B threw first; stones 0 (B), 1 (A) and 2 (B) at rest, stone 2 just
// thrown along a straight path, stone 3 (A) out of play.
struct Picture {
  GameRecord game;
  EndRecord end;
  StoneRecord stone;
  Picture() {
    game.table.endScores = {1};
    game.engines[0].name = "red <&>";
    end.endIndex = 1;
    end.firstThrower = kSeatB;
    stone.shotIndex = 3;
    stone.seat = kSeatA;
    stone.status = StoneStatus::kCrashed;
    const float at[4][2] = {{1.5f, 6.5f}, {2.375f, 4.88f}, {3.2f, 9.0f}, {0.0f, 0.0f}};
    std::memcpy(stone.after, at, sizeof at);
    std::memcpy(stone.before, at, sizeof at);
    stone.path.times = {0.0f, 0.25f, 0.5f};
    stone.path.stones.push_back(
        MovedStone{2, 0, {{{3.2f, 33.23f}}, {{3.2f, 20.0f}}, {{3.2f, 9.0f}}}});
  }
};

}  // namespace

// The picture is also rendered in headless Chromium: beside the number on
// each stone the pixels have its side's colour, the empty house neither.
// Suites whose tests write files: each test gets a folder of its own.
class HousePicture : public TempDirTest {};
class ReplayPage : public TempDirTest {};

TEST_F(HousePicture, DrawsNumberedStonesPathLegendAndACaptionBandNoLineCrosses) {
  const Picture p;
  const std::string svg = StoneSvg(p.game, p.end, p.stone);
  EXPECT_EQ(svg.find("<polyline"), svg.rfind("<polyline"));  // only stone 2 moved
  EXPECT_TRUE(Holds(svg, "red &lt;&amp;&gt;"));              // the legend, escaped
  EXPECT_TRUE(Holds(svg, "Lost stone: the engine is gone"));
  for (const char* number : {">1</text>", ">2</text>", ">3</text>"})
    EXPECT_TRUE(Holds(svg, number));
  EXPECT_TRUE(Lacks(svg, ">4</text>"));  // out of play: not drawn
  // Every line of the sheet starts at or below the caption band.
  for (size_t at = svg.find("<line "); at != std::string::npos; at = svg.find("<line ", at + 1)) {
    for (const char* attribute : {" y1=\"", " y2=\""}) {
      const size_t value = svg.find(attribute, at) + 5;
      EXPECT_GE(std::stod(svg.substr(value, 12)), kSvgSheetTopY) << svg.substr(at, 80);
    }
  }

  if (std::system("command -v chromium >/dev/null 2>&1") != 0) {
    if (std::getenv("CI")) FAIL() << "chromium is needed to check the pictures";
    GTEST_SKIP() << "chromium not installed";
  }
  std::ofstream(dir + "/house.svg") << svg;
  const double top = StoneSvgTopY(p.game, p.end, p.stone);
  const std::string size = std::to_string(SvgWidthPx()) + "," + std::to_string(SvgHeightPx(top));
  const CommandResult shot = RunCommand(
      "timeout 60 chromium --headless --disable-gpu --no-sandbox --hide-scrollbars "
      "--disable-background-networking --disable-component-update --disable-sync --no-first-run "
      "--user-data-dir=" +
      dir + "/profile --screenshot=" + dir + "/house.png --window-size=" + size + " file://" + dir +
      "/house.svg 2>&1");
  ASSERT_EQ(shot.status, 0) << shot.output;

  const double beside = 0.6 * sheet::kStoneRadius;  // clear of the number
  const double points[][2] = {
      {1.5 + beside, 6.5}, {2.375 + beside, 4.88}, {3.2 + beside, 9.0}, {2.375 + 1.0, 4.88}};
  std::string args;
  for (const auto& pt : points)
    args += " " + std::to_string(SvgPixelX(pt[0])) + " " + std::to_string(SvgPixelY(pt[1], top));
  const CommandResult probe =
      RunCommand("/usr/bin/python3 " PNG_PROBE " " + dir + "/house.png" + args);
  ASSERT_EQ(probe.status, 0) << probe.output;
  std::istringstream in(probe.output);
  int width = 0, height = 0, rgb[4][3] = {};
  in >> width >> height;
  EXPECT_TRUE(width == SvgWidthPx() && height == SvgHeightPx(top)) << probe.output;
  for (auto& c : rgb) in >> c[0] >> c[1] >> c[2];
  // B, A, B at rest; the empty house next to the tee in neither colour.
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(NearColour(rgb[k], kColourA), k == 1) << k << ": " << probe.output;
    EXPECT_EQ(NearColour(rgb[k], kColourB), k == 0 || k == 2) << k << ": " << probe.output;
  }
}

// Self-contained: nothing fetched, nothing linked; an engine name cannot
// end the page's script early or inject markup.
TEST_F(ReplayPage, NeedsNothingFromOutsideAndEscapesNames) {
  GameRecord game = NoisyStandInGame();
  game.engines[1].name = "<!--<script></script><img src=x>";
  const std::string html = ReplayPageHtml(game);
  for (const char* outside : {"src=\"", "href=", "http://", "https://", "@import", "url("}) {
    std::string rest = html;
    // The one allowed reference: the SVG namespace name, which is never fetched.
    for (size_t at; (at = rest.find("http://www.w3.org/2000/svg")) != std::string::npos;)
      rest.erase(at, 26);
    EXPECT_TRUE(Lacks(rest, outside));
  }
  EXPECT_TRUE(Lacks(html, "</script><img"));
  EXPECT_TRUE(
      Holds(html, "\\u003c!--\\u003cscript>\\u003c/script>\\u003cimg src=x>"));  // in the JSON

  const std::string index =
      IndexPageHtml({"run <1>", "A 1 - 0 B\n", {}, {{3, "A (x)", "B <y>", "A wins", "g-3.html"}}});
  for (const char* part : {"run &lt;1&gt;", "<a href=\"g-3.html\">", "B &lt;y&gt;"})
    EXPECT_TRUE(Holds(index, part));
}

// A page that cannot be written (here: its name is a folder) fails the
// run after the game, with the name in the message.
TEST_F(ReplayPage, UnwritablePageFailsTheRun) {
  const CommandResult r =
      RunRunner({"--ends", "1", "--noise", "0", "--pause-ms", "1", "--html", dir,
                 FakeEngine("--plan 2.3,5"), FakeEngine("--plan 2.5,5.2")});
  EXPECT_EQ(r.status, 1) << r.output;
  EXPECT_TRUE(Holds(r.output, "cannot write " + dir));
  EXPECT_TRUE(Holds(r.output, "final: "));
}
