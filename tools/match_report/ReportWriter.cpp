#include "match_report/ReportWriter.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace tovra::report {

namespace {

const char* sideName(int side) {
    return side == kLeft ? "left" : "right";
}

// A number with at most `digits` decimals and no trailing zeros.
std::string num(double v, int digits = 2) {
    if (!std::isfinite(v))
        return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", digits, v);
    std::string s = buf;
    if (s.find('.') != std::string::npos) {
        while (!s.empty() && s.back() == '0')
            s.pop_back();
        if (!s.empty() && s.back() == '.')
            s.pop_back();
    }
    if (s == "-0")
        s = "0";
    return s;
}

std::string fixed(double v, int digits) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", digits, std::isfinite(v) ? v : 0.0);
    return buf;
}

// Text for element content and attribute values.
std::string xml(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (unsigned char c : s) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                // Control characters are not allowed in XML text.
                if (c < 0x20 && c != '\n' && c != '\t') {
                    out += '?';
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out;
}

// A JSON string literal that is also safe inside a script element and a
// CDATA section (no '<', '>' or '&' appear literally).
std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        char buf[8];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == '<' || c == '>' || c == '&' || c == 0x7f) {
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string pointList(const std::vector<Point>& pts) {
    std::string s;
    for (const Point& p : pts) {
        if (!s.empty())
            s += ' ';
        s += num(p.x) + "," + num(-p.y);
    }
    return s;
}

std::string percent(double share) {
    return fixed(100.0 * share, 3) + "%";
}

const char* kStyle = R"CSS(
body { font-family: sans-serif; margin: 1.5em; color: #222; background: #fafafa; }
h1 { margin-bottom: 0.2em; }
.meta { color: #555; margin-top: 0; }
.field { width: 100%; max-width: 990px; background: #2e7d32; border-radius: 4px; display: block; }
.line { stroke: #fff; stroke-width: 0.06; fill: none; }
.goal { stroke: #fff; stroke-width: 0.05; fill: rgba(255, 255, 255, 0.25); }
.path { fill: none; stroke-width: 0.06; stroke-linejoin: round; opacity: 0.75; }
.side-left .path { stroke: #64b5f6; }
.side-right .path { stroke: #ff8a65; }
.ball-path { fill: none; stroke: #fff59d; stroke-width: 0.05; opacity: 0.9; }
.end-left { fill: #1565c0; }
.end-right { fill: #d84315; }
.label { fill: #fff; font-size: 0.4px; text-anchor: middle; dominant-baseline: central; }
.dim .path { opacity: 0.12; }
.dim .hl .path { opacity: 1; stroke-width: 0.12; }
.hidden { display: none; }
table { border-collapse: collapse; margin-top: 0.5em; }
th, td { padding: 0.25em 0.7em; border-bottom: 1px solid #ddd; text-align: right; white-space: nowrap; }
th { background: #eee; }
td.l, th.l { text-align: left; }
tr.row-left td:first-child { border-left: 4px solid #1565c0; }
tr.row-right td:first-child { border-left: 4px solid #d84315; }
tbody tr:hover { background: #fff3c4; }
.controls { margin: 0.5em 0; display: flex; gap: 0.8em; align-items: center; flex-wrap: wrap; }
.controls input[type=range] { flex: 1; min-width: 200px; }
#clock { font-family: monospace; white-space: pre; }
.bot-left circle { fill: #1565c0; }
.bot-right circle { fill: #d84315; }
.bot circle { stroke: #fff; stroke-width: 0.04; }
.bot line { stroke: #fff; stroke-width: 0.06; }
.bot.lying circle { fill-opacity: 0.35; stroke-dasharray: 0.1 0.06; }
.bot text { fill: #fff; font-size: 0.3px; text-anchor: middle; dominant-baseline: central; }
.ball { fill: #fff; stroke: #000; stroke-width: 0.03; }
.trail { fill: none; stroke: #fff59d; stroke-width: 0.05; opacity: 0.8; }
.warn { color: #b00020; }
)CSS";

const char* kScript = R"JS(
(function () {
  'use strict';
  var NS = 'http://www.w3.org/2000/svg';
  var D = window.MATCH;

  // Highlighting a player's path from the table and the path switches.
  var paths = document.getElementById('paths');
  var rows = document.querySelectorAll('tr[data-key]');
  Array.prototype.forEach.call(rows, function (row) {
    var g = document.getElementById('path-' + row.getAttribute('data-key'));
    row.addEventListener('mouseenter', function () {
      if (g) { g.classList.add('hl'); paths.classList.add('dim'); }
    });
    row.addEventListener('mouseleave', function () {
      if (g) { g.classList.remove('hl'); paths.classList.remove('dim'); }
    });
  });
  Array.prototype.forEach.call(document.querySelectorAll('input[data-show]'), function (box) {
    box.addEventListener('change', function () {
      var g = document.getElementById(box.getAttribute('data-show'));
      if (g) g.classList.toggle('hidden', !box.checked);
    });
  });

  // The replay.
  var frames = D.frames;
  var layer = document.getElementById('replay-layer');
  var scrub = document.getElementById('scrub');
  var playBtn = document.getElementById('play');
  var speedSel = document.getElementById('speed');
  var clock = document.getElementById('clock');
  if (!frames.length) { clock.textContent = 'no frames in the trace'; return; }

  function el(name, attrs, parent) {
    var e = document.createElementNS(NS, name);
    for (var k in attrs) e.setAttribute(k, attrs[k]);
    if (parent) parent.appendChild(e);
    return e;
  }
  var trail = el('polyline', { 'class': 'trail', points: '' }, layer);
  var bots = D.roster.map(function (r) {
    var g = el('g', { 'class': 'bot bot-' + (r[0] === 0 ? 'left' : 'right') }, layer);
    el('circle', { r: 0.3 }, g);
    var dir = el('line', { x1: 0, y1: 0, x2: 0.45, y2: 0 }, g);
    var t = el('text', {}, g);
    t.textContent = String(r[1]);
    return { g: g, dir: dir };
  });
  var ball = el('circle', { 'class': 'ball', r: 0.13 }, layer);

  var FIX = 9;  // leading numbers of a frame: t, gameTime, half, mode, score x2, ball x y z
  function pad(n) { return (n < 10 ? '0' : '') + n; }
  function gameClock(s) {
    var m = Math.floor(s / 60);
    return m + ':' + pad(Math.floor(s - 60 * m)) + '.' + Math.floor((s * 10) % 10);
  }

  // The set piece of a play mode, named with the side that takes it.
  var KINDS = { kickoff: 'kick-off', kickin: 'kick-in', free_kick: 'free kick',
                goal_kick: 'goal kick', corner_kick: 'corner kick', offside: 'offside' };
  function setPiece(mode) {
    var m = /^([A-Za-z_]+)_(left|right)$/i.exec(mode);
    var kind = m && KINDS[m[1].toLowerCase()];
    if (!kind) return '';
    var side = m[2].toLowerCase();
    if (kind === 'offside')
      return ' (set piece: free kick for ' + (side === 'left' ? 'right' : 'left') + ', ' +
        side + ' offside)';
    return ' (set piece: ' + kind + ' for ' + side + ')';
  }
  // The last foul or robot put back in the 3 s up to time t.
  var events = D.events || [];
  function recentEvent(t) {
    for (var k = events.length - 1; k >= 0; k--) {
      var e = events[k];
      if (e[0] > t) continue;
      if (e[0] < t - 3) break;
      var who = (e[3] === 0 ? 'left ' : 'right ') + e[4];
      return e[1] ? '  foul: ' + e[2] + ' by ' + who : '  put back: ' + who + ' (' + e[2] + ')';
    }
    return '';
  }

  var index = 0;
  function show(i) {
    index = Math.max(0, Math.min(frames.length - 1, i));
    var f = frames[index];
    ball.setAttribute('cx', f[6]);
    ball.setAttribute('cy', -f[7]);
    var pts = [];
    for (var k = Math.max(0, index - 20); k <= index; k++) pts.push(frames[k][6] + ',' + (-frames[k][7]));
    trail.setAttribute('points', pts.join(' '));
    var lying = 0, present = 0;
    for (var b = 0; b < bots.length; b++) {
      var o = FIX + 4 * b;
      var here = o + 3 < f.length && f[o + 3] >= 0;
      bots[b].g.style.display = here ? '' : 'none';
      if (!here) continue;
      present++;
      if (f[o + 3] === 1) lying++;
      bots[b].g.setAttribute('transform', 'translate(' + f[o] + ',' + (-f[o + 1]) + ')');
      var a = f[o + 2] * Math.PI / 180;
      bots[b].dir.setAttribute('x2', 0.45 * Math.cos(a));
      bots[b].dir.setAttribute('y2', -0.45 * Math.sin(a));
      bots[b].g.classList.toggle('lying', f[o + 3] === 1);
    }
    clock.textContent = 'half ' + f[2] + '  ' + gameClock(f[1]) + '  ' + D.modes[f[3]] +
      setPiece(D.modes[f[3]]) + '  ' + f[4] + ':' + f[5] + '  robots ' + present +
      ', on the ground ' + lying + recentEvent(f[0]) + '  (sim ' + f[0].toFixed(2) + ' s)';
    scrub.value = index;
  }

  scrub.max = frames.length - 1;
  var playing = false, last = 0, simTime = frames[0][0];
  function tick(now) {
    if (!playing) return;
    var dt = Math.min(0.25, (now - last) / 1000);
    last = now;
    simTime += dt * parseFloat(speedSel.value);
    var i = index;
    while (i + 1 < frames.length && frames[i + 1][0] <= simTime) i++;
    if (i !== index) show(i);
    if (index >= frames.length - 1) { setPlaying(false); return; }
    window.requestAnimationFrame(tick);
  }
  function setPlaying(on) {
    playing = on;
    playBtn.textContent = on ? 'Pause' : 'Play';
    if (on) {
      if (index >= frames.length - 1) show(0);
      simTime = frames[index][0];
      last = performance.now();
      window.requestAnimationFrame(tick);
    }
  }
  playBtn.addEventListener('click', function () { setPlaying(!playing); });
  scrub.addEventListener('input', function () {
    show(parseInt(scrub.value, 10));
    simTime = frames[index][0];
  });
  document.addEventListener('keydown', function (e) {
    if (e.target && e.target.tagName === 'SELECT') return;
    if (e.key === ' ') { e.preventDefault(); setPlaying(!playing); }
    else if (e.key === 'ArrowRight') { show(index + 1); simTime = frames[index][0]; }
    else if (e.key === 'ArrowLeft') { show(index - 1); simTime = frames[index][0]; }
  });
  // "report.html#t=95" opens the replay at 95 s of simulated time.
  var start = 0, m = /t=([0-9.]+)/.exec(window.location.hash || '');
  if (m) {
    var want = parseFloat(m[1]);
    while (start + 1 < frames.length && frames[start + 1][0] <= want) start++;
  }
  show(start);
  document.body.setAttribute('data-replay-ready', String(frames.length));
})();
)JS";

}  // namespace

std::string ReportWriter::clock(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0)
        seconds = 0;
    const int minutes = static_cast<int>(seconds / 60);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d:%04.1f", minutes, seconds - 60.0 * minutes);
    return buf;
}

std::string ReportWriter::statusLine(const Frame& f) {
    int count[2] = {0, 0};
    int lying = 0;
    std::string team[2];
    for (const RobotState& r : f.robots) {
        ++count[r.side];
        if (r.lying)
            ++lying;
        if (team[r.side].empty())
            team[r.side] = r.team;
    }
    std::ostringstream s;
    s << "half " << f.half << "  " << clock(f.gameTime) << "  " << f.playMode << "  "
      << (team[0].empty() ? "nobody" : team[0]) << " " << f.score[0] << ":" << f.score[1] << " "
      << (team[1].empty() ? "nobody" : team[1]) << "  robots " << count[0] << "+" << count[1]
      << ", on the ground " << lying << "  (sim time " << fixed(f.time, 1) << " s)";
    return s.str();
}

void ReportWriter::summary(std::ostream& out) const {
    const Frame& f = match_.last();
    const auto teams = match_.teams();
    out << "Final score: " << (teams[0].empty() ? "nobody" : teams[0]) << " (left) " << f.score[0]
        << " : " << f.score[1] << " " << (teams[1].empty() ? "nobody" : teams[1]) << " (right)"
        << "   game time " << fixed(f.gameTime, 1) << " s, "
        << (match_.reachedGameOver() ? "GameOver reached" : "ended before GameOver") << "\n";
    for (const Goal& g : match_.goals()) {
        out << "  goal " << sideName(g.side) << " at " << clock(g.gameTime) << " (half " << g.half
            << ") -> " << g.score[0] << ":" << g.score[1];
        if (g.lastKickSide >= 0)
            out << ", last kick by " << sideName(g.lastKickSide) << " " << g.lastKickUnum;
        out << "\n";
    }
    const std::pair<const char*, const MatchAnalysis::SideCounts*> counts[] = {
        {"restarts awarded", &match_.restarts()},
        {"restarts taken", &match_.restartsTaken()},
        {"fouls committed", &match_.fouls()},
        {"robots moved by the referee", &match_.moves()}};
    for (const auto& [what, c] : counts) {
        out << "  " << what << " (left / right):";
        if (c->empty())
            out << " none";
        for (const auto& [name, n] : *c)
            out << "  " << name << " " << n[0] << "/" << n[1];
        out << "\n";
    }
    char line[256];
    std::snprintf(line, sizeof line, "%-5s %2s %10s %18s %5s %7s %5s %24s %8s\n", "side", "#",
                  "walked", "on the ground", "falls", "get-ups", "kicks", "messages answered",
                  "lagging");
    out << line;
    long counted = 0;
    long answered = 0;
    long lagging = 0;
    double ground = 0;
    double present = 0;
    for (const auto& [key, p] : match_.players()) {
        std::snprintf(line, sizeof line,
                      "%-5s %2d %8.1f m %8.1f s (%5.1f%%) %5d %7d %5d %9ld/%-6ld (%7.3f%%) %8ld\n",
                      sideName(p.side), p.unum, p.distance, p.groundTime, 100.0 * p.groundShare(),
                      p.falls, p.getUps, p.kicks, p.answered, p.counted, 100.0 * p.answeredShare(),
                      p.lagging);
        out << line;
        counted += p.counted;
        answered += p.answered;
        lagging += p.lagging;
        ground += p.groundTime;
        present += p.presentTime;
    }
    // A robot that disappeared before the end: its agent ended or lost
    // its connection.
    std::string gone;
    for (const auto& [key, p] : match_.players()) {
        if (p.lastSeen < f.time - 0.5)
            gone += std::string(gone.empty() ? "" : ", ") + sideName(p.side) + " " +
                    std::to_string(p.unum) + " at " + fixed(p.lastSeen, 1) + " s";
    }
    if (!gone.empty())
        out << "Left the field before the end: " << gone << "\n";
    out << "All players: " << answered << " of " << counted << " counted messages answered ("
        << (counted > 0 ? fixed(100.0 * answered / counted, 3) : std::string("-")) << "%; "
        << lagging << " lagging, counted as not answered), on the ground "
        << (present > 0 ? fixed(100.0 * ground / present, 2) : "0") << "% of the time in play; "
        << match_.lateLines() << " late lines in the trace";
    if (match_.malformed() > 0)
        out << "; " << match_.malformed() << " malformed lines skipped";
    out << "\n";
}

void ReportWriter::tsv(std::ostream& out) const {
    const Frame& f = match_.last();
    out << "#score\t" << f.score[0] << "\t" << f.score[1] << "\n";
    out << "#gameover\t" << (match_.reachedGameOver() ? 1 : 0) << "\n";
    out << "#frames\t" << match_.frames() << "\n";
    out << "#malformed\t" << match_.malformed() << "\n";
    out << "#goals\t" << match_.goals().size() << "\n";
    out << "side\tunum\tteam\tdistance\tground_time\tpresent_time\tfalls\tget_ups\tkicks"
           "\tcounted\tanswered\tsilent\tfirst_seen\tlast_seen\tlagging\n";
    for (const auto& [key, p] : match_.players()) {
        out << sideName(p.side) << "\t" << p.unum << "\t" << p.team << "\t" << fixed(p.distance, 2)
            << "\t" << fixed(p.groundTime, 2) << "\t" << fixed(p.presentTime, 2) << "\t" << p.falls
            << "\t" << p.getUps << "\t" << p.kicks << "\t" << p.counted << "\t" << p.answered
            << "\t" << p.silent << "\t" << fixed(p.firstSeen, 2) << "\t" << fixed(p.lastSeen, 2)
            << "\t" << p.lagging << "\n";
    }
}

void ReportWriter::fieldSvg(std::ostream& out) const {
    out << "<rect class=\"line\" x=\"-15\" y=\"-10\" width=\"30\" height=\"20\"/>"
           "<line class=\"line\" x1=\"0\" y1=\"-10\" x2=\"0\" y2=\"10\"/>"
           "<circle class=\"line\" id=\"centre-circle\" cx=\"0\" cy=\"0\" r=\"2\"/>"
           "<rect class=\"line penalty-area\" x=\"-15\" y=\"-1.95\" width=\"1.8\" "
           "height=\"3.9\"/>"
           "<rect class=\"line penalty-area\" x=\"13.2\" y=\"-1.95\" width=\"1.8\" "
           "height=\"3.9\"/>"
           "<circle cx=\"0\" cy=\"0\" r=\"0.1\" fill=\"#fff\"/>"
           "<rect class=\"goal\" x=\"-16\" y=\"-1.05\" width=\"1\" height=\"2.1\"/>"
           "<rect class=\"goal\" x=\"15\" y=\"-1.05\" width=\"1\" height=\"2.1\"/>";
}

void ReportWriter::pathsSvg(std::ostream& out) const {
    out << "<g id=\"paths\">";
    for (int side = 0; side < 2; ++side) {
        out << "<g id=\"paths-" << sideName(side) << "\" class=\"side-" << sideName(side) << "\">";
        for (const auto& [key, p] : match_.players()) {
            if (p.side != side)
                continue;
            out << "<g id=\"path-" << sideName(side) << "-" << p.unum << "\">";
            for (const auto& piece : p.path) {
                if (piece.size() >= 2)
                    out << "<polyline class=\"path\" points=\"" << pointList(piece) << "\"/>";
            }
            out << "</g>";
        }
        out << "</g>";
    }
    out << "<g id=\"path-ball\">";
    for (const auto& piece : match_.ballPath()) {
        if (piece.size() >= 2)
            out << "<polyline class=\"ball-path\" points=\"" << pointList(piece) << "\"/>";
    }
    out << "</g>";
    // Where each robot ended, with its number.
    out << "<g id=\"ends\">";
    for (const auto& [key, p] : match_.players()) {
        if (p.path.empty() || p.path.back().empty())
            continue;
        const Point& e = p.path.back().back();
        out << "<circle class=\"end-" << sideName(p.side) << "\" cx=\"" << num(e.x) << "\" cy=\""
            << num(-e.y) << "\" r=\"0.25\"/><text class=\"label\" x=\"" << num(e.x) << "\" y=\""
            << num(-e.y) << "\">" << p.unum << "</text>";
    }
    out << "</g></g>";
}

void ReportWriter::playerTable(std::ostream& out) const {
    out << "<table id=\"players\"><thead><tr><th class=\"l\">side</th><th class=\"l\">team</th>"
           "<th>#</th><th>distance walked</th><th>time on the ground</th><th>falls</th>"
           "<th>get-ups</th><th>kicks</th><th>messages answered</th><th>in play</th></tr>"
           "</thead><tbody>";
    for (const auto& [key, p] : match_.players()) {
        const char* side = sideName(p.side);
        out << "<tr class=\"row-" << side << "\" data-key=\"" << side << "-" << p.unum << "\">"
            << "<td class=\"l\">" << side << "</td><td class=\"l\">" << xml(p.team) << "</td><td>"
            << p.unum << "</td><td>" << fixed(p.distance, 1) << " m</td><td>"
            << fixed(p.groundTime, 1) << " s (" << fixed(100.0 * p.groundShare(), 1)
            << "%)</td><td>" << p.falls << "</td><td>" << p.getUps << "</td><td>" << p.kicks
            << "</td><td" << (p.answeredShare() < 0.999 ? " class=\"warn\"" : "") << ">"
            << p.answered << " / " << p.counted << " (" << percent(p.answeredShare()) << ")"
            << (p.lagging > 0 ? ", " + std::to_string(p.lagging) + " lagging" : std::string())
            << "</td><td>" << fixed(p.firstSeen, 1) << "–" << fixed(p.lastSeen, 1)
            << " s</td></tr>";
    }
    out << "</tbody></table>";
}

void ReportWriter::replayData(std::ostream& out) const {
    out << "window.MATCH = {\"modes\":[";
    const auto& modes = match_.modes();
    for (size_t i = 0; i < modes.size(); ++i)
        out << (i ? "," : "") << jsonString(modes[i]);
    out << "],\"roster\":[";
    const auto& roster = match_.roster();
    for (size_t i = 0; i < roster.size(); ++i)
        out << (i ? "," : "") << "[" << roster[i].first << "," << roster[i].second << "]";
    out << "],\"frames\":[";
    bool firstFrame = true;
    for (const ReplayFrame& f : match_.replay()) {
        out << (firstFrame ? "" : ",") << "\n[" << num(f.time) << "," << num(f.gameTime) << ","
            << f.half << "," << f.mode << "," << f.score[0] << "," << f.score[1] << ","
            << num(f.ball.x) << "," << num(f.ball.y) << "," << num(f.ballZ);
        for (const auto& r : f.robots) {
            if (r.present) {
                out << "," << num(r.pos.x) << "," << num(r.pos.y) << "," << num(r.heading, 0) << ","
                    << (r.lying ? 1 : 0);
            } else {
                out << ",0,0,0,-1";
            }
        }
        out << "]";
        firstFrame = false;
    }
    // Fouls and robots put back: [time, foul 0/1, reason, side, unum].
    out << "],\"events\":[";
    bool firstEvent = true;
    for (const RefereeEvent& e : match_.events()) {
        out << (firstEvent ? "" : ",") << "[" << num(e.time) << ","
            << (e.type == RefereeEvent::Type::Foul ? 1 : 0) << "," << jsonString(e.reason) << ","
            << e.side << "," << e.unum << "]";
        firstEvent = false;
    }
    out << "]};\n";
}

void ReportWriter::refereeTables(std::ostream& out, const std::string& left,
                                 const std::string& right) const {
    out << "<h2>Restarts and fouls</h2>\n";
    struct Table {
        const char* id;
        const char* first;
        const MatchAnalysis::SideCounts* counts;
    };
    const Table tables[] = {{"restarts", "restart awarded", &match_.restarts()},
                            {"restarts-taken", "restart taken", &match_.restartsTaken()},
                            {"fouls", "foul committed", &match_.fouls()},
                            {"moves", "robots moved by the referee", &match_.moves()}};
    for (const Table& t : tables) {
        if (t.counts->empty()) {
            out << "<p id=\"" << t.id << "\">No " << t.first << ".</p>\n";
            continue;
        }
        out << "<table id=\"" << t.id << "\"><thead><tr><th>" << t.first << "</th><th>left ("
            << xml(left) << ")</th><th>right (" << xml(right) << ")</th></tr></thead><tbody>";
        std::array<int, 2> total{};
        for (const auto& [name, n] : *t.counts) {
            out << "<tr><td>" << xml(name) << "</td><td>" << n[0] << "</td><td>" << n[1]
                << "</td></tr>";
            total[0] += n[0];
            total[1] += n[1];
        }
        out << "<tr><td>all</td><td>" << total[0] << "</td><td>" << total[1]
            << "</td></tr></tbody></table>\n";
    }
}

void ReportWriter::html(std::ostream& out, const std::string& title,
                        const std::string& source) const {
    const Frame& f = match_.last();
    const auto teams = match_.teams();
    const std::string left = teams[0].empty() ? "nobody" : teams[0];
    const std::string right = teams[1].empty() ? "nobody" : teams[1];
    out << "<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"en\">\n<head>\n"
           "<meta charset=\"utf-8\"/>\n<title>"
        << xml(title) << "</title>\n<style>/*<![CDATA[*/" << kStyle << "/*]]>*/</style>\n"
        << "</head>\n<body>\n<h1>" << xml(title) << "</h1>\n";
    out << "<p class=\"score\" id=\"score\"><strong>" << xml(left) << " (left) " << f.score[0]
        << " : " << f.score[1] << " " << xml(right) << " (right)</strong></p>\n";
    out << "<p class=\"meta\">Game time " << fixed(f.gameTime, 1) << " s in " << f.half
        << (f.half == 1 ? " half" : " halves") << ", "
        << (match_.reachedGameOver() ? "GameOver reached" : "ended before GameOver")
        << "; simulated " << fixed(f.time - match_.firstTime(), 1) << " s, " << match_.frames()
        << " frames every " << fixed(match_.frameStep(), 2) << " s; trace " << xml(source);
    if (match_.malformed() > 0)
        out << "; <span class=\"warn\">" << match_.malformed()
            << " malformed trace lines skipped</span>";
    out << ".</p>\n";

    out << "<h2>Goals</h2>\n";
    if (match_.goals().empty()) {
        out << "<p id=\"goals\">No goals.</p>\n";
    } else {
        out << "<ol id=\"goals\">";
        for (const Goal& g : match_.goals()) {
            out << "<li>" << sideName(g.side) << " (" << xml(g.side == kLeft ? left : right)
                << ") at " << clock(g.gameTime) << " of game time, half " << g.half << ": "
                << g.score[0] << ":" << g.score[1];
            if (g.lastKickSide >= 0)
                out << "; last kick by " << sideName(g.lastKickSide) << " " << g.lastKickUnum;
            out << "</li>";
        }
        out << "</ol>\n";
    }

    refereeTables(out, left, right);

    out << "<h2>Paths</h2>\n<p class=\"controls\">"
           "<label><input type=\"checkbox\" data-show=\"paths-left\" checked=\"checked\"/> left ("
        << xml(left)
        << ", blue)</label><label><input type=\"checkbox\" data-show=\"paths-right\" "
           "checked=\"checked\"/> right ("
        << xml(right)
        << ", orange)</label><label><input type=\"checkbox\" data-show=\"path-ball\" "
           "checked=\"checked\"/> ball (yellow)</label>"
           "<span>The left side attacks the goal on the right. Point at a row of the table to "
           "pick out that player's path; dots mark where each robot ended.</span></p>\n";
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"field\" id=\"field\" "
           "viewBox=\"-16.5 -11 33 22\" role=\"img\" aria-label=\"paths on the field\">";
    fieldSvg(out);
    pathsSvg(out);
    out << "</svg>\n";

    out << "<h2>Players</h2>\n";
    playerTable(out);
    out << "\n<p class=\"meta\">Distance walked: summed over half-second legs on the robot's "
           "feet. Time on the ground: the torso below 0.25 m. Falls and get-ups: changes of "
           "that state that last 0.3 s. Kicks: the ball's ground speed rising by 0.5 m/s or "
           "more (to at least 0.8 m/s) within one frame with the robot's torso within 0.7 m, "
           "the nearest robot credited. Messages answered: replies in time to the "
           "simulator's perceptions, leaving out the first half second of each beam window "
           "(after joining, BeforeKickOff, Goal_Left, Goal_Right), in which the agent sends "
           "nothing by design. Lagging: messages the robot answered while its replies ran "
           "one or more steps behind (each frame answering an earlier message); they "
           "count as not answered.</p>\n";

    out << "<h2>Replay</h2>\n<div class=\"controls\"><button id=\"play\" type=\"button\">Play"
           "</button><input id=\"scrub\" type=\"range\" min=\"0\" max=\"0\" step=\"1\" "
           "value=\"0\" aria-label=\"time\"/><label>speed <select id=\"speed\">"
           "<option value=\"1\">1×</option><option value=\"2\">2×</option>"
           "<option value=\"5\" selected=\"selected\">5×</option><option value=\"10\">10×"
           "</option><option value=\"30\">30×</option></select></label></div>\n"
           "<div id=\"clock\">&#160;</div>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"field\" id=\"replay\" "
           "viewBox=\"-16.5 -11 33 22\" role=\"img\" aria-label=\"replay\">";
    fieldSvg(out);
    out << "<g id=\"replay-layer\"></g></svg>\n<p class=\"meta\">Space plays and pauses, "
           "the arrow keys step one frame; the address report.html#t=95 opens the replay at 95 s "
           "of simulated time. Lying robots are drawn pale; the line shows where "
           "a robot faces.</p>\n";

    out << "<script>//<![CDATA[\n";
    replayData(out);
    out << kScript << "//]]>\n</script>\n</body>\n</html>\n";
}

}  // namespace tovra::report
