// The replay page's style and script. The script reads the game from the
// page's own JSON, draws the position that the fragment names and steps
// through the game; it fetches nothing.
#include "view/replay_page.h"

const char* const kReplayPageStyle = R"CSS(
body { font-family: sans-serif; margin: 12px; color: #111; background: #fff; }
h1 { font-size: 18px; margin: 0 0 8px 0; }
#linescore { border-collapse: collapse; margin-bottom: 8px; }
#linescore td, #linescore th { border: 1px solid #999; padding: 2px 6px; text-align: center; min-width: 18px; }
#linescore .current { background: #ffe9a8; }
#linescore .hammer::after { content: "\25CF"; font-size: 9px; vertical-align: super; }
.swatch { display: inline-block; width: 12px; height: 12px; border-radius: 6px; border: 1px solid #444; margin: 0 4px 0 12px; }
#controls button { font-size: 16px; min-width: 36px; }
#headline { font-weight: bold; margin: 8px 0 2px 0; }
#story { margin: 0 0 8px 0; }
#house { display: block; border: 1px solid #bbb; }
)CSS";

const char* const kReplayPageScript = R"JS(
"use strict";
const game = JSON.parse(document.getElementById("game-data").textContent);
const svgNs = "http://www.w3.org/2000/svg";
const root = document.documentElement;
const kStoneRadius = 0.145, kRingRadius = 0.2, kMaxAnimationMs = 2000, kMinSpeedUp = 8;
let shown = { end: 1, shot: 0 };
let animation = null;

const esc = s => String(s).replace(/[&<>]/g, c => ({ "&": "&amp;", "<": "&lt;", ">": "&gt;" })[c]);
function stonesIn(e) { return game.ends[e - 1].stones.length; }
function clamp(pos) {
  const ends = game.ends.length;
  if (ends === 0) return { end: 1, shot: 0 };
  const end = Math.min(Math.max(pos.end, 1), ends);
  return { end: end, shot: Math.min(Math.max(pos.shot, 0), stonesIn(end)) };
}
function parseFragment() {
  const m = /^#e(\d+)s(\d+)$/.exec(location.hash);
  return m ? clamp({ end: Number(m[1]), shot: Number(m[2]) }) : { end: 1, shot: 0 };
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
  let head = "<tr><th>End</th>", rows = { A: "", B: "" }, totals = { A: 0, B: 0 };
  game.ends.forEach((end, k) => {
    const cls = end.end === pos.end ? " current" : "";
    head += "<th class='" + cls + "'>" + end.end + "</th>";
    const over = end.end < pos.end || (end.end === pos.end && pos.shot === stonesIn(pos.end));
    for (const seat of ["A", "B"]) {
      const pts = seat === "A" ? Math.max(end.score, 0) : Math.max(-end.score, 0);
      if (over) totals[seat] += pts;
      const hammer = end.hammer === seat ? " hammer" : "";
      rows[seat] += "<td class='" + cls + hammer + "'>" + (over ? pts : "") + "</td>";
    }
  });
  table.innerHTML = head + "<th>Total</th></tr>" +
    "<tr><th>" + esc(game.labels[0]) + "</th>" + rows.A + "<td>" + totals.A + "</td></tr>" +
    "<tr><th>" + esc(game.labels[1]) + "</th>" + rows.B + "<td>" + totals.B + "</td></tr>";
}

function drawStones(pos) {
  const group = document.getElementById("stones");
  group.textContent = "";
  document.getElementById("paths").textContent = "";
  if (pos.shot === 0) return;
  const end = game.ends[pos.end - 1];
  const stone = end.stones[pos.shot - 1];
  for (let i = 0; i < pos.shot; ++i) {
    const p = stone.after[i];
    if (!inPlay(p)) continue;
    const g = make("g", { "data-stone": i, "data-x": String(p[0]), "data-y": String(p[1]),
                          transform: "translate(" + p[0] + " " + p[1] + ")" });
    if (i === pos.shot - 1) g.appendChild(make("circle", { r: kRingRadius, fill: "none", stroke: "#111", "stroke-width": 0.03, class: "thrown" }));
    g.appendChild(make("circle", { r: kStoneRadius, fill: colourOf(end, i), stroke: "#444", "stroke-width": 0.025 }));
    g.appendChild(numberLabel(i));
    group.appendChild(g);
  }
  for (const path of stone.paths) {
    const points = path.points.filter(inPlay).map(p => p[0] + "," + p[1]).join(" ");
    if (points) document.getElementById("paths").appendChild(make("polyline", { points: points, fill: "none", stroke: colourOf(end, path.stone), "stroke-width": 0.03, "stroke-dasharray": "0.08 0.05", opacity: 0.8 }));
  }
}

function drawCaption(pos) {
  const end = game.ends[pos.end - 1];
  const headline = document.getElementById("headline"), story = document.getElementById("story");
  if (!end) { headline.textContent = "No finished end in this record."; story.textContent = ""; return; }
  if (pos.shot === 0) {
    headline.textContent = "End " + end.end + ", before the first stone";
    story.textContent = end.hammer + " has the hammer; " + end.first + " throws first.";
    return;
  }
  const stone = end.stones[pos.shot - 1];
  headline.textContent = stone.headline;
  story.textContent = stone.story;
}

// Moves the stones of the last shot along their paths, faster than life,
// then leaves them where the record says.
function animate(pos) {
  const stone = game.ends[pos.end - 1].stones[pos.shot - 1];
  if (!stone.times.length || !stone.paths.length) return;
  // From the moment the first moving stone comes into view.
  const begin = Math.min(...stone.paths.map(p => stone.times[p.from]));
  const duration = stone.times[stone.times.length - 1];
  const speedUp = Math.max(kMinSpeedUp, (duration - begin) * 1000 / kMaxAnimationMs);
  const groups = {};
  for (const g of document.querySelectorAll("#stones g")) groups[g.getAttribute("data-stone")] = g;
  // Stones that end out of play are drawn only while they move, without
  // data-stone: they are not part of the position.
  const end = game.ends[pos.end - 1];
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
  if (animated && shown.shot > 0) animate(shown);
}

function step(delta) {
  if (!game.ends.length) return;
  let pos = { end: shown.end, shot: shown.shot + delta };
  if (pos.shot > stonesIn(shown.end) && shown.end < game.ends.length) pos = { end: shown.end + 1, shot: 0 };
  if (pos.shot < 0 && shown.end > 1) pos = { end: shown.end - 1, shot: stonesIn(shown.end - 1) };
  show(pos, delta > 0 && pos.end === shown.end);
}
function endStep(delta) {
  if (!game.ends.length) return;
  if (delta > 0) show(shown.end < game.ends.length ? { end: shown.end + 1, shot: 0 } : { end: shown.end, shot: stonesIn(shown.end) });
  else show(shown.shot > 0 ? { end: shown.end, shot: 0 } : { end: shown.end - 1, shot: 0 });
}
const lastPosition = () => ({ end: game.ends.length, shot: game.ends.length ? stonesIn(game.ends.length) : 0 });
const actions = {
  ArrowRight: () => step(1), ArrowLeft: () => step(-1), PageDown: () => endStep(1),
  PageUp: () => endStep(-1), Home: () => show({ end: 1, shot: 0 }), End: () => show(lastPosition()),
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
document.getElementById("result").textContent = game.result;
show(parseFragment(), false);
)JS";
