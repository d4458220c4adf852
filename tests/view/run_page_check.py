#!/usr/bin/env python3
"""The index page of a finished run of 24 games with an SPRT, in a browser.

run_page_check.py CURLING_MATCH FAKE_ENGINE

CURLING_MATCH may be the runner over the stand-in physics. Two fake engines
play 24 one-end games, two at a time, with noise, so that the pairs end
differently. Then:

- headless Chromium opens the index page; every dot of the LLR and Elo
  plots lies inside its plot, and each carries the figures that `merge` of
  the results file cut after that game prints (the LLR after every game,
  Elo and its interval from the first game that gives one);
- there is one row per game, each linking a replay page that exists;
- a run resumed from the first ten results lines, and `merge --html` of
  the results file, draw the very same dots.

Exit 0 when all holds, 1 on a failure, 77 (skipped) only when chromium or
chromedriver is not installed and CI is not set."""
import importlib.util
import json
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
GAMES = 24
CLOSE = 1e-5  # the page writes six decimals

check_module = importlib.util.spec_from_file_location("browser_check",
                                                      os.path.join(HERE, "browser_check.py"))
browser_check = importlib.util.module_from_spec(check_module)
check_module.loader.exec_module(browser_check)
fail, run = browser_check.fail, browser_check.run


def play(runner, engine, folder, results):
    words = []
    for name, plan in (("near", "2.375,4.88"), ("short", "2.375,4.6")):
        words += ["--engine", "name=" + name, "cmd=" + engine, "arg=--plan", "arg=" + plan]
    code, out = run([runner, "--ends", "1", "--noise", "0.4", "--pause-ms", "0", "--games",
                     str(GAMES), "--seed", "7", "--concurrency", "2", "--sprt", "elo0=0",
                     "elo1=5", "--results", results, "--html",
                     os.path.join(folder, "run.html")] + words)
    if code != 0:
        fail("the run exited with %d:\n%s" % (code, out))


def results_lines(path):
    lines = open(path).read().splitlines()
    return lines[0], sorted(lines[1:], key=lambda line: json.loads(line)["game"])


def merged_figures(runner, folder, header, games):
    """What `merge` prints after each number of games: (llr, elo, low, high)."""
    part, summary = os.path.join(folder, "part.jsonl"), os.path.join(folder, "part.json")
    figures = []
    for k in range(1, len(games) + 1):
        open(part, "w").write("\n".join([header] + games[:k]) + "\n")
        code, out = run([runner, "merge", part, "--summary", summary])
        if code != 0:
            fail("merge of %d games exited with %d:\n%s" % (k, code, out))
        doc = json.load(open(summary))
        p = doc["pairings"][0]
        figures.append((doc["sprt"]["llr"], p["elo"], p["eloLow"], p["eloHigh"]))
    return figures


DOTS = ("return Array.from(document.querySelectorAll('#' + arguments[0] + '-plot circle')).map(c => {"
        "  const r = c.getBoundingClientRect(), box = c.ownerSVGElement.getBoundingClientRect();"
        "  const inside = r.left >= box.left && r.right <= box.right &&"
        "                 r.top >= box.top && r.bottom <= box.bottom;"
        "  return [c.dataset.game, c.dataset[arguments[0]], c.dataset.lo, c.dataset.hi, inside]; });")


def dots(driver, page):
    driver.get("file://" + page)
    got = {}
    for name in ("llr", "elo"):
        got[name] = driver.execute_script(DOTS, name)
        for game, _, _, _, inside in got[name]:
            if not inside:
                fail("%s: the %s dot of game %s lies outside its plot" % (page, name, game))
    got["rows"] = driver.execute_script(
        "return Array.from(document.querySelectorAll('#games a')).map(a => a.getAttribute('href'));")
    return got


def near(a, b):
    return abs(float(a) - b) <= CLOSE


def check_against_merge(got, figures, folder):
    if [int(d[0]) for d in got["llr"]] != list(range(1, GAMES + 1)):
        fail("LLR dots of games %s" % [d[0] for d in got["llr"]])
    for (_, llr, _, _, _), want in zip(got["llr"], figures):
        if not near(llr, want[0]):
            fail("LLR %s, merge says %s" % (llr, want[0]))
    with_interval = [k + 1 for k, f in enumerate(figures) if f[2] is not None]
    if not with_interval or [int(d[0]) for d in got["elo"]] != with_interval:
        fail("Elo dots of games %s, merge gives an interval after %s"
             % ([d[0] for d in got["elo"]], with_interval))
    for game, elo, lo, hi, _ in got["elo"]:
        want = figures[int(game) - 1]
        if not (near(elo, want[1]) and near(lo, want[2]) and near(hi, want[3])):
            fail("game %s: Elo %s [%s, %s], merge says %s" % (game, elo, lo, hi, want[1:]))
    if got["rows"] != ["run-%d.html" % g for g in range(1, GAMES + 1)]:
        fail("rows link %s" % got["rows"])
    for link in got["rows"]:
        if not os.path.isfile(os.path.join(folder, link)):
            fail("%s is linked but missing" % link)


def main():
    runner, engine = sys.argv[1], sys.argv[2]
    folder = tempfile.mkdtemp(prefix="run-page-check-")
    try:
        whole, resumed = os.path.join(folder, "whole"), os.path.join(folder, "resumed")
        os.makedirs(whole)
        os.makedirs(resumed)
        play(runner, engine, whole, os.path.join(whole, "r.jsonl"))
        header, games = results_lines(os.path.join(whole, "r.jsonl"))
        # In the order they finished: the resumed run plays whichever games are missing.
        lines = open(os.path.join(whole, "r.jsonl")).read().splitlines()
        open(os.path.join(resumed, "r.jsonl"), "w").write("\n".join(lines[:11]) + "\n")
        play(runner, engine, resumed, os.path.join(resumed, "r.jsonl"))
        # Named as the run's page, so that its rows link the run's replay pages.
        code, out = run([runner, "merge", os.path.join(whole, "r.jsonl"), "--html",
                         os.path.join(folder, "merged", "run.html")])
        if code != 0:
            fail("merge --html exited with %d:\n%s" % (code, out))
        figures = merged_figures(runner, folder, header, games)
        driver = browser_check.start_browser(os.path.join(folder, "profile"))
        try:
            got = dots(driver, os.path.join(whole, "run.html"))
            check_against_merge(got, figures, whole)
            for other in (os.path.join(resumed, "run.html"), os.path.join(folder, "merged", "run.html")):
                if dots(driver, other) != got:
                    fail("%s draws other dots than the run played in one go" % other)
        finally:
            driver.quit()
        print("page: %d LLR dots, %d Elo dots, %d rows" % (len(got["llr"]), len(got["elo"]),
                                                           len(got["rows"])))
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    print("ok")


if __name__ == "__main__":
    main()
