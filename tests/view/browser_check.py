#!/usr/bin/env python3
"""A real 2-end game of our engine against itself, checked end to end.

browser_check.py CURLING_MATCH

- `curling-match replay` accepts the record (with noise), and rejects it
  (exit 1, naming the stone) with one coordinate changed; the record
  against the schema is tests/match's real game's part;
- headless Chromium opens the replay page from disk; ArrowRight steps
  through every stone, and after each press every stone drawn carries the
  record's data-x / data-y, the root and the URL fragment name the
  position, the result shows at the last position only, and a screenshot
  has each side's colour where its stones lie;
- in a 1280x900 window the sheet down to the hog line and the result are
  in view without scrolling;
- no caption text of any picture reaches past the picture's edges.

Exit 0 when all holds, 1 on a failure, 77 (skipped) only when chromium or
chromedriver is not installed and CI is not set."""
import glob
import importlib.util
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SKIP = 77
WAIT_S = 10.0  # longest wait for the page to reach a position
COLOURS = {"A": (0xd0, 0x1c, 0x1c), "B": (0xf2, 0xc2, 0x00)}
NEAR = 40  # per channel

probe_module = importlib.util.spec_from_file_location("png_probe", os.path.join(HERE, "png_probe.py"))
png_probe = importlib.util.module_from_spec(probe_module)
probe_module.loader.exec_module(png_probe)


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def run(args, timeout=240):
    r = subprocess.run(args, stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=timeout)
    return r.returncode, r.stdout + r.stderr


def play_game(runner, folder):
    """The record, and the result as the runner's closing line says it."""
    code, out = run([runner, "--ends", "2", "--no-extra-ends", "--seed", "2026", "--record",
                     os.path.join(folder, "game.json"), "--html", os.path.join(folder, "game.html"),
                     "--svg", os.path.join(folder, "svg")])
    if code != 0:
        fail("curling-match exited with %d:\n%s" % (code, out))
    result = next((l[len("final: "):] for l in out.splitlines() if l.startswith("final: ")), None)
    if not result:
        fail("no final line in:\n" + out)
    return json.load(open(os.path.join(folder, "game.json"))), result


def check_replay(runner, folder, record):
    code, out = run([runner, "replay", os.path.join(folder, "game.json")])
    if code != 0 or "32 stones" not in out:
        fail("replay of the untouched record: exit %d: %s" % (code, out))
    changed = json.loads(json.dumps(record))
    stone = changed["ends"][1]["stones"][4]
    i = next(i for i, p in enumerate(stone["after"]) if p != [0, 0])
    stone["after"][i][1] += 0.0001
    bad = os.path.join(folder, "changed.json")
    json.dump(changed, open(bad, "w"))
    code, out = run([runner, "replay", bad])
    if code != 1 or "end 2 stone 5 " not in out:
        fail("replay of a changed record: exit %d: %s" % (code, out))
    print("replay: " + out.strip().splitlines()[0][:120])


def end_of(record, number):
    return next(e for e in record["ends"] if e["end"] == number)


def positions(record):
    """Every position in ArrowRight order: (end number, stones thrown), each
    end from its first recorded stone's shot to its last."""
    return [(end["end"], s) for end in record["ends"]
            for first in [end["stones"][0]["shotIndex"]]
            for s in range(first, first + len(end["stones"]) + 1)]


def expected_stones(record, number, shot):
    stones = end_of(record, number)["stones"]
    k = shot - stones[0]["shotIndex"]
    at = stones[0]["before"] if k == 0 else stones[k - 1]["after"]
    return {i: tuple(at[i]) for i in range(shot) if at[i] != [0, 0]}


def seat_of(record, number, i):
    first = end_of(record, number)["firstThrower"]
    return first if i % 2 == 0 else ("B" if first == "A" else "A")


def start_browser(profile):
    chromium, driver_path = shutil.which("chromium"), shutil.which("chromedriver")
    if not chromium or not driver_path:
        if os.environ.get("CI"):
            fail("chromium and chromedriver are needed")
        print("SKIP: chromium or chromedriver not installed")
        sys.exit(SKIP)
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    options = webdriver.ChromeOptions()
    options.binary_location = chromium
    for flag in ["--no-sandbox", "--headless", "--disable-gpu", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync", "--no-first-run", "--disable-quic",
                 "--hide-scrollbars", "--force-device-scale-factor=1", "--window-size=800,1400",
                 "--user-data-dir=" + profile]:
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service(driver_path), options=options)
    driver.set_page_load_timeout(60)
    driver.set_script_timeout(30)
    return driver


def wait_for(driver, end, shot):
    deadline = time.monotonic() + WAIT_S
    while True:
        got = driver.execute_script(
            "const r = document.documentElement;"
            "return [r.getAttribute('data-end'), r.getAttribute('data-shot'), location.hash];")
        if got[:2] == [str(end), str(shot)]:
            return got[2]
        if time.monotonic() > deadline:
            fail("page shows %s, expected end %d shot %d" % (got, end, shot))
        time.sleep(0.02)


def drawn_stones(driver):
    items = driver.execute_script(
        "return Array.from(document.querySelectorAll('[data-stone]')).map(g => {"
        "  const c = g.querySelector('circle:not(.thrown)').getBoundingClientRect();"
        "  return [g.getAttribute('data-stone'), g.getAttribute('data-x'), g.getAttribute('data-y'),"
        "          c.left + c.width / 2, c.top + c.height / 2, c.width / 2]; });")
    return {int(s): (float(x), float(y), cx, cy, r) for s, x, y, cx, cy, r in items}


def check_colours(driver, record, end, stones):
    deadline = time.monotonic() + WAIT_S
    while driver.execute_script("return document.documentElement.getAttribute('data-animating')") == "true":
        if time.monotonic() > deadline:
            fail("the animation did not end")
        time.sleep(0.05)
    # Two frames later the final positions are painted.
    driver.execute_async_script(
        "const done = arguments[0]; requestAnimationFrame(() => requestAnimationFrame(() => done()));")
    stones = drawn_stones(driver)  # after the animation, where they rest
    png = driver.get_screenshot_as_png()
    if os.environ.get("VIEW_CHECK_SHOTS"):
        open(os.path.join(os.environ["VIEW_CHECK_SHOTS"], "e%d.png" % end), "wb").write(png)
    picture = png_probe.decode(png)
    for i, (_, _, cx, cy, r) in stones.items():
        # Beside the number printed on the stone, inside its rim.
        rgb = png_probe.colour(picture, int(round(cx + 0.6 * r)), int(round(cy)))
        want = COLOURS[seat_of(record, end, i)]
        if any(abs(a - b) >= NEAR for a, b in zip(rgb, want)):
            fail("end %d stone %d: pixel %s at %s, expected %s (picture %dx%d)" % (end, i + 1, rgb, (cx, cy, r), want, picture[0], picture[1]))
    return len(stones)


def check_page(driver, folder, record, result):
    from selenium.webdriver.common.keys import Keys
    driver.get("file://" + os.path.join(folder, "game.html"))
    order = positions(record)
    checked_pixels = 0
    for k, (end, shot) in enumerate(order):
        if k > 0:
            driver.find_element("tag name", "body").send_keys(Keys.ARROW_RIGHT)
        fragment = wait_for(driver, end, shot)
        if fragment != "#e%ds%d" % (end, shot):
            fail("fragment %r at end %d shot %d" % (fragment, end, shot))
        shown = driver.find_element("id", "result").text
        if shown != (result if k == len(order) - 1 else ""):
            fail("end %d shot %d shows the result %r" % (end, shot, shown))
        want = expected_stones(record, end, shot)
        got = {i: (x, y) for i, (x, y, _, _, _) in drawn_stones(driver).items()}
        if got != want:
            fail("end %d shot %d: drawn %s, record %s" % (end, shot, got, want))
        if shot in (8, 16):
            checked_pixels += check_colours(driver, record, end, want)
    last = order[-1]
    driver.find_element("tag name", "body").send_keys(Keys.ARROW_RIGHT)  # stays at the last stone
    wait_for(driver, *last)
    for key, where in [(Keys.HOME, (1, 0)), (Keys.PAGE_DOWN, (2, 0)), (Keys.END, last),
                       (Keys.PAGE_UP, (2, 0)), (Keys.ARROW_LEFT, (1, 16))]:
        driver.find_element("tag name", "body").send_keys(key)
        wait_for(driver, *where)
    driver.get("file://" + os.path.join(folder, "game.html") + "#e2s7")
    wait_for(driver, 2, 7)
    print("page: %d positions stepped, %d stone colours checked" % (len(order), checked_pixels))


def check_fits_window(driver, folder, record):
    """At the last position of a 1280x900 window: the hog line's bottom
    and the result above the bottom of the viewport."""
    driver.set_window_size(1280, 900)
    last = positions(record)[-1]
    driver.get("file://" + os.path.join(folder, "game.html") + "#e%ds%d" % last)
    wait_for(driver, *last)
    height, hog, result = driver.execute_script(
        "const bottom = e => e.getBoundingClientRect().bottom;"
        "return [innerHeight, bottom(document.querySelector('#house line[y1=\"11.28\"]')),"
        "        bottom(document.getElementById('result'))];")
    if hog > height or result > height:
        fail("viewport %d px high, hog line down to %.0f, result to %.0f" % (height, hog, result))
    print("1280x900: viewport %d px high, hog line down to %.0f, result to %.0f" % (height, hog, result))


def check_svg_captions(driver, folder):
    """Every caption text of every picture within the picture's edges."""
    pictures = sorted(glob.glob(os.path.join(folder, "svg", "*.svg")))
    if not pictures:
        fail("no pictures written")
    for path in pictures:
        driver.get("file://" + path)
        outside = driver.execute_script(
            "const box = document.documentElement.viewBox.baseVal;"
            "return Array.from(document.querySelectorAll('text')).map(t => [t.textContent, t.getBBox()])"
            "  .filter(([_, b]) => b.x < box.x || b.x + b.width > box.x + box.width || b.y < box.y)"
            "  .map(([text, b]) => text + ' at ' + [b.x, b.y, b.width].map(v => v.toFixed(2)));")
        if outside:
            fail("%s: text beyond the picture: %s" % (os.path.basename(path), outside))
    print("pictures: %d captions within their edges" % len(pictures))


def main():
    runner = sys.argv[1]
    folder = tempfile.mkdtemp(prefix="view-check-")
    try:  # a failure or a skip exits, and leaves no folder behind either
        record, result = play_game(runner, folder)
        check_replay(runner, folder, record)
        driver = start_browser(os.path.join(folder, "profile"))
        try:
            check_page(driver, folder, record, result)
            check_svg_captions(driver, folder)
            check_fits_window(driver, folder, record)
        finally:
            driver.quit()
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    print("ok")


if __name__ == "__main__":
    main()
