// The replay page's style and script. The script reads the game from the
// page's own JSON, draws the position that the fragment names and steps
// through the game; it fetches nothing.
#include <cstdio>
#include <string>

#include "view/replay_page.h"
#include "view/svg.h"

namespace {

// A figure as the script writes it: "0.145".
std::string ScriptNumber(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

}  // namespace

const char* const kReplayPageStyle = R"CSS(
body { font-family: sans-serif; margin: 0; padding: 12px; color: #111; background: #fff; }
/* The sheet takes the height the rest leaves, so that the hog line and the
   result stay in view without scrolling; the viewBox keeps its shape. */
body { box-sizing: border-box; height: 100vh; display: flex; flex-direction: column; align-items: flex-start; }
body > * { flex: none; }
#house { flex: 1 1 auto; min-height: 240px; width: auto; height: auto; }
h1 { font-size: 18px; margin: 0 0 8px 0; }
#linescore { border-collapse: collapse; margin-bottom: 8px; }
#linescore td, #linescore th { border: 1px solid #999; padding: 2px 6px; text-align: center; min-width: 18px; }
#linescore .current { background: #ffe9a8; }
#linescore .hammer::after { content: "\25CF"; font-size: 9px; vertical-align: super; }
.swatch { display: inline-block; width: 12px; height: 12px; border-radius: 6px; border: 1px solid #444; margin: 0 4px 0 12px; }
#controls button { font-size: 16px; min-width: 36px; }
#headline { font-weight: bold; margin: 8px 0 2px 0; }
#story { margin: 0 0 8px 0; }
#house { border: 1px solid #bbb; }
)CSS";

const std::string& ReplayPageScript() {
  // The sizes come from the pictures' own, so the page draws the same stones.
  static const std::string script = R"JS(
"use strict";
const game = JSON.parse(document.getElementById("game-data").textContent);
const svgNs = "http://www.w3.org/2000/svg";
const root = document.documentElement;
const kStoneRadius = )JS" + ScriptNumber(sheet::kStoneRadius) +
                                    ", kRingRadius = " + ScriptNumber(kThrownRingRadius) +
                                    R"JS(, kMaxAnimationMs = 2000, kMinSpeedUp = 8;
let shown = { end: 1, shot: 0 };
let animation = null;

// A position is an end's number (as in the record) and the number of its
// stones thrown, from the end's first recorded shot (0 unless the game
// started from a position) to its last.
const esc = s => String(s).replace(/[&<>]/g, c => ({ "&": "&amp;", "<": "&lt;", ">": "&gt;" })[c]);
const firstEnd = () => game.ends[0];
const lastEnd = () => game.ends[game.ends.length - 1];
function endAt(number) { return game.ends.find(e => e.end === number); }
function neighbour(end, delta) { return game.ends[game.ends.indexOf(end) + delta]; }
function lastShot(end) { return end.firstShot + end.stones.length; }
const startOf = end => ({ end: end.end, shot: end.firstShot });
const finishOf = end => ({ end: end.end, shot: lastShot(end) });
function clamp(pos) {
  if (!game.ends.length) return { end: 1, shot: 0 };
  const end = game.ends.find(e => e.end >= pos.end) || lastEnd();
  return { end: end.end, shot: Math.min(Math.max(pos.shot, end.firstShot), lastShot(end)) };
}
function parseFragment() {
  const m = /^#e(\d+)s(\d+)$/.exec(location.hash);
  if (m) return clamp({ end: Number(m[1]), shot: Number(m[2]) });
  return game.ends.length ? startOf(firstEnd()) : { end: 1, shot: 0 };
}
function seatOf(end, i) { return (i % 2 === 0) === (end.first === "A") ? "A" : "B"; }
function colourOf(end, i) { return game.colours[seatOf(end, i) === "A" ? 0 : 1]; }
function inPlay(p) { return !(p[0] === 0 && p[1] === 0); }
function make(tag, attrs) {
  const el = document.createElementNS(svgNs, tag);
  for (const k in attrs) el.setAttribute(k, attrs[k]);
  return el;
}
function numberLabel(i) {
  const label = make("text", { y: 0.045, "font-size": 0.13, "text-anchor": "middle", "font-family": "sans-serif" });
  label.textContent = String(i + 1);
  return label;
}

function drawLineScore(pos) {
  const table = document.getElementById("linescore");
  let head = "<tr><th>End</th>", rows = { A: "", B: "" }, totals = { A: game.before[0], B: game.before[1] };
  for (const end of game.ends) {
    const cls = end.end === pos.end ? " current" : "";
    head += "<th class='" + cls + "'>" + end.end + "</th>";
    const over = end.end < pos.end || (end.end === pos.end && pos.shot === lastShot(end));
    for (const seat of ["A", "B"]) {
      const pts = seat === "A" ? Math.max(end.score, 0) : Math.max(-end.score, 0);
      if (over) totals[seat] += pts;
      const hammer = end.hammer === seat ? " hammer" : "";
      rows[seat] += "<td class='" + cls + hammer + "'>" + (over ? pts : "") + "</td>";
    }
  }
  table.innerHTML = head + "<th>Total</th></tr>" +
    "<tr><th>" + esc(game.labels[0]) + "</th>" + rows.A + "<td>" + totals.A + "</td></tr>" +
    "<tr><th>" + esc(game.labels[1]) + "</th>" + rows.B + "<td>" + totals.B + "</td></tr>";
}

// The stones of a position and the shot that led to it (none at its start).
function positionOf(pos) {
  const end = endAt(pos.end);
  const k = pos.shot - end.firstShot;
  return k === 0 ? { end: end, stones: end.start, shot: null } : { end: end, stones: end.stones[k - 1].after, shot: end.stones[k - 1] };
}

function drawStones(pos) {
  const group = document.getElementById("stones"), paths = document.getElementById("paths");
  group.textContent = "";
  paths.textContent = "";
  if (!game.ends.length) return;
  const at = positionOf(pos);
  for (let i = 0; i < pos.shot; ++i) {
    const p = at.stones[i];
    if (!inPlay(p)) continue;
    const g = make("g", { "data-stone": i, "data-x": String(p[0]), "data-y": String(p[1]),
                          transform: "translate(" + p[0] + " " + p[1] + ")" });
    if (at.shot && i === pos.shot - 1) g.appendChild(make("circle", { r: kRingRadius, fill: "none", stroke: "#111", "stroke-width": 0.03, class: "thrown" }));
    g.appendChild(make("circle", { r: kStoneRadius, fill: colourOf(at.end, i), stroke: "#444", "stroke-width": 0.025 }));
    g.appendChild(numberLabel(i));
    group.appendChild(g);
  }
  for (const path of at.shot ? at.shot.paths : []) {
    const points = path.points.filter(inPlay).map(p => p[0] + "," + p[1]).join(" ");
    if (points) paths.appendChild(make("polyline", { points: points, fill: "none", stroke: colourOf(at.end, path.stone), "stroke-width": 0.03, "stroke-dasharray": "0.08 0.05", opacity: 0.8 }));
  }
}

function drawCaption(pos) {
  const headline = document.getElementById("headline"), story = document.getElementById("story");
  if (!game.ends.length) { headline.textContent = "No finished end in this record."; story.textContent = ""; return; }
  const at = positionOf(pos);
  if (at.shot) {
    headline.textContent = at.shot.headline;
    story.textContent = at.shot.story;
    return;
  }
  headline.textContent = "End " + at.end.end + (pos.shot ? ", as it starts after stone " + pos.shot : ", before the first stone");
  story.textContent = at.end.hammer + " has the hammer; " + at.end.first + " threw first.";
}

// Moves the stones of the last shot along their paths, faster than life,
// from the moment the first moving stone comes into view; then leaves them
// where the record says.
function animate(pos) {
  const stone = positionOf(pos).shot;
  if (!stone || !stone.times.length || !stone.paths.length) return;
  const begin = Math.min(...stone.paths.map(p => stone.times[p.from]));
  const duration = stone.times[stone.times.length - 1];
  const speedUp = Math.max(kMinSpeedUp, (duration - begin) * 1000 / kMaxAnimationMs);
  const groups = {};
  for (const g of document.querySelectorAll("#stones g")) groups[g.getAttribute("data-stone")] = g;
  // Stones that end out of play are drawn only while they move, without
  // data-stone: they are not part of the position.
  const end = endAt(pos.end);
  for (const path of stone.paths) {
    if (groups[path.stone]) continue;
    const ghost = make("g", { class: "ghost", visibility: "hidden" });
    ghost.appendChild(make("circle", { r: kStoneRadius, fill: colourOf(end, path.stone), stroke: "#444", "stroke-width": 0.025 }));
    ghost.appendChild(numberLabel(path.stone));
    document.getElementById("stones").appendChild(ghost);
    groups[path.stone] = ghost;
  }
  const start = performance.now();
  root.setAttribute("data-animating", "true");
  const frame = now => {
    if (animation === null) return;
    const t = begin + (now - start) / 1000 * speedUp;
    if (t >= duration) { finishAnimation(); return; }
    let f = 0;
    while (f + 1 < stone.times.length && stone.times[f + 1] <= t) ++f;
    const f2 = Math.min(f + 1, stone.times.length - 1);
    const span = stone.times[f2] - stone.times[f];
    const w = span > 0 ? (t - stone.times[f]) / span : 0;
    for (const path of stone.paths) {
      const g = groups[path.stone];
      if (!g) continue;
      const at = k => path.points[Math.min(Math.max(k - path.from, 0), path.points.length - 1)];
      const a = at(f), b = at(f2);
      const visible = inPlay(a) && inPlay(b);
      if (g.getAttribute("class") === "ghost") g.setAttribute("visibility", visible ? "visible" : "hidden");
      if (!visible) continue;
      g.setAttribute("transform", "translate(" + (a[0] + (b[0] - a[0]) * w) + " " + (a[1] + (b[1] - a[1]) * w) + ")");
    }
    animation = requestAnimationFrame(frame);
  };
  animation = requestAnimationFrame(frame);
}

function finishAnimation() {
  if (animation !== null) cancelAnimationFrame(animation);
  animation = null;
  for (const g of document.querySelectorAll("#stones g.ghost")) g.remove();
  for (const g of document.querySelectorAll("#stones g[data-stone]"))
    g.setAttribute("transform", "translate(" + g.getAttribute("data-x") + " " + g.getAttribute("data-y") + ")");
  root.setAttribute("data-animating", "false");
}

function show(pos, animated) {
  finishAnimation();
  shown = clamp(pos);
  root.setAttribute("data-end", shown.end);
  root.setAttribute("data-shot", shown.shot);
  const fragment = "#e" + shown.end + "s" + shown.shot;
  if (location.hash !== fragment) history.replaceState(null, "", fragment);
  drawLineScore(shown);
  drawStones(shown);
  drawCaption(shown);
  // The result would tell the end of the game before it is reached.
  const atLast = !game.ends.length || (shown.end === lastEnd().end && shown.shot === lastShot(lastEnd()));
  document.getElementById("result").textContent = atLast ? game.result : "";
  if (animated && game.ends.length) animate(shown);
}

function step(delta) {
  if (!game.ends.length) return;
  const end = endAt(shown.end);
  const next = neighbour(end, delta);
  if (delta > 0 && shown.shot === lastShot(end)) { if (next) show(startOf(next), false); return; }
  if (delta < 0 && shown.shot === end.firstShot) { if (next) show(finishOf(next), false); return; }
  show({ end: shown.end, shot: shown.shot + delta }, delta > 0);
}
function endStep(delta) {
  if (!game.ends.length) return;
  const end = endAt(shown.end), next = neighbour(end, delta);
  if (delta > 0) show(next ? startOf(next) : finishOf(end), false);
  else show(shown.shot > end.firstShot || !next ? startOf(end) : startOf(next), false);
}
const ends = f => () => { if (game.ends.length) show(f(), false); };
const actions = {
  ArrowRight: () => step(1), ArrowLeft: () => step(-1), PageDown: () => endStep(1),
  PageUp: () => endStep(-1), Home: ends(() => startOf(firstEnd())), End: ends(() => finishOf(lastEnd())),
};
document.addEventListener("keydown", ev => {
  const act = actions[ev.key];
  if (!act) return;
  ev.preventDefault();
  act();
});
const buttons = { first: "Home", prevEnd: "PageUp", prev: "ArrowLeft", next: "ArrowRight", nextEnd: "PageDown", last: "End" };
for (const id in buttons) document.getElementById(id).addEventListener("click", actions[buttons[id]]);
window.addEventListener("hashchange", () => show(parseFragment(), false));

const legend = document.getElementById("legend");
game.labels.forEach((label, k) => {
  const swatch = document.createElement("span");
  swatch.className = "swatch";
  swatch.style.background = game.colours[k];
  legend.appendChild(swatch);
  legend.appendChild(document.createTextNode(label));
});
legend.appendChild(document.createTextNode("   \u25CF in the line score: the hammer"));
show(parseFragment(), false);
)JS";
  return script;
}
