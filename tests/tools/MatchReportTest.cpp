// Tests of tovra-match-report from outside: traces written here with known
// events, a short trace recorded on the simulator, broken input, and the
// HTML page read as XML.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/PlayersTable.h"
#include "support/ScratchDir.h"
#include "support/XmlCheck.h"

namespace fs = std::filesystem;
using tovra::test::ChildProcess;
using tovra::test::ScratchDir;
using tovra::test::XmlCheck;

namespace {

std::string reportTool() {
    return (fs::path(TOVRA_BINARY).parent_path() / "tovra-match-report").string();
}

struct Bot {
    std::string side = "left";
    int unum = 1;
    double x = 0;
    double y = 0;
    double heading = 0;
    bool lying = false;
    bool answered = true;
    int lag = 0;  // written only when above 0, as the simulator does
};

// One state line in the simulator's format.
std::string frameLine(double time, const std::string& mode, int scoreL, int scoreR, double bx,
                      double by, double bvx, double bvy, const std::vector<Bot>& bots,
                      int half = 1) {
    char buf[512];
    std::snprintf(buf, sizeof buf,
                  "{\"time\":%.4f,\"gameTime\":%.4f,\"half\":%d,\"playMode\":\"%s\","
                  "\"score\":[%d,%d],\"ball\":{\"pos\":[%.4f,%.4f,0.0420],"
                  "\"vel\":[%.4f,%.4f,0.0000]},\"robots\":[",
                  time, time, half, mode.c_str(), scoreL, scoreR, bx, by, bvx, bvy);
    std::string s = buf;
    for (size_t i = 0; i < bots.size(); ++i) {
        const Bot& b = bots[i];
        std::snprintf(buf, sizeof buf,
                      "%s{\"side\":\"%s\",\"unum\":%d,\"team\":\"KALDA\",\"pos\":[%.4f,%.4f,%.4f],"
                      "\"heading\":%.4f,\"lying\":%s,\"answered\":%s",
                      i ? "," : "", b.side.c_str(), b.unum, b.x, b.y, b.lying ? 0.1 : 0.38,
                      b.heading, b.lying ? "true" : "false", b.answered ? "true" : "false");
        s += buf;
        if (b.lag > 0)
            s += ",\"lag\":" + std::to_string(b.lag);
        s += "}";
    }
    return s + "]}\n";
}

using Row = tovra::test::PlayersTable::Row;
using Table = tovra::test::PlayersTable;

Table readTsv(const std::string& text) {
    return tovra::test::readPlayersTable(text);
}

double num(const Row& r, const std::string& key) {
    auto it = r.find(key);
    return it == r.end() ? NAN : std::stod(it->second);
}

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

Result runTool(const std::vector<std::string>& args) {
    ChildProcess p(reportTool(), args);
    Result r;
    if (!p.wait(60000))
        return r;
    r.status = p.exitStatus();
    r.out = p.out();
    r.err = p.err();
    return r;
}

// A scripted match of 8 s: BeforeKickOff for 1.5 s, then PlayOn.
//  left 7 walks 2 m forward along x with a sideways sway, then stands;
//  left 3 falls at 3 s, lies 1.5 s, gets up;
//  right 5's lying flag flickers for 0.1 s (no fall);
//  right 2 is moved 5 m in one step at 5 s (a placement, not a walk);
//  left 9 kicks the ball at 6 s (ball from rest to 3 m/s beside it);
//  at 7 s the ball speeds up far from everyone (no kick);
//  the left side scores at 7.5 s;
//  right 2 leaves the replies to 4 perceptions of open play unanswered and
//  one in the silent start of the beam window.
std::string scriptedTrace() {
    std::string s;
    const double dt = 0.02;
    for (int k = 1; k <= 400; ++k) {
        const double t = k * dt;
        const std::string mode = t < 1.5 ? "BeforeKickOff" : "PlayOn";
        Bot walker{"left", 7, -5, 0};
        const double w = std::min(std::max(t - 2.0, 0.0), 2.0);  // 1 m/s for 2 s
        walker.x = -5 + w;
        walker.y = 0.02 * std::sin(2 * M_PI * 2 * t);  // gait sway
        Bot faller{"left", 3, -8, 2};
        faller.lying = t >= 3.0 && t < 4.5;
        Bot flicker{"right", 5, 6, -3};
        flicker.lying = t >= 2.0 && t < 2.1;
        Bot placed{"right", 2, t < 5.0 ? 10.0 : 5.0, 4};
        placed.answered = !(k == 10 || (k >= 200 && k < 204));
        Bot kicker{"left", 9, 1.0, 1.0};
        double bx = 1.3;
        double by = 1.0;
        double bvx = 0;
        if (t >= 6.0 && t < 7.0) {
            bvx = 3.0;
            bx = 1.3 + 3.0 * (t - 6.0);
        } else if (t >= 7.0) {
            bx = 4.3 + (t >= 7.2 ? 2.0 * (t - 7.2) : 0);
            by = -8;
            bvx = t >= 7.2 ? 2.0 : 0.0;
        }
        const int scoreL = t >= 7.5 ? 1 : 0;
        s += frameLine(t, mode, scoreL, 0, bx, by, bvx, 0,
                       {walker, faller, flicker, placed, kicker});
        if (!placed.answered)
            s += "{\"time\":" + std::to_string(t - dt) +
                 ",\"late\":{\"client\":3,\"side\":\"right\",\"unum\":2}}\n";
    }
    return s;
}

TEST(MatchReport, FiguresOfAScriptedMatch) {
    ScratchDir dir;
    ASSERT_TRUE(dir.write("trace.jsonl", scriptedTrace()));
    const Result r = runTool({"trace.jsonl", "--html", "report.html", "--tsv", "players.tsv"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Table t = readTsv(dir.read("players.tsv"));
    EXPECT_EQ(t.info.at("score"), "1 0");
    EXPECT_EQ(t.info.at("gameover"), "0");
    EXPECT_EQ(t.info.at("frames"), "400");
    EXPECT_EQ(t.info.at("malformed"), "0");
    EXPECT_EQ(t.info.at("goals"), "1");
    ASSERT_EQ(t.rows.size(), 5u);

    const Row& walker = t.rows.at("left 7");
    EXPECT_NEAR(num(walker, "distance"), 2.0, 0.06);  // the sway is not distance
    EXPECT_EQ(num(walker, "falls"), 0);
    EXPECT_EQ(num(walker, "kicks"), 0);

    const Row& faller = t.rows.at("left 3");
    EXPECT_EQ(num(faller, "falls"), 1);
    EXPECT_EQ(num(faller, "get_ups"), 1);
    EXPECT_NEAR(num(faller, "ground_time"), 1.5, 0.03);
    EXPECT_NEAR(num(faller, "distance"), 0.0, 1e-9);

    const Row& flicker = t.rows.at("right 5");
    EXPECT_EQ(num(flicker, "falls"), 0);
    EXPECT_EQ(num(flicker, "get_ups"), 0);
    EXPECT_NEAR(num(flicker, "ground_time"), 0.1, 0.03);

    const Row& placed = t.rows.at("right 2");
    EXPECT_NEAR(num(placed, "distance"), 0.0, 1e-9);

    const Row& kicker = t.rows.at("left 9");
    EXPECT_EQ(num(kicker, "kicks"), 1);
    int kicks = 0;
    for (const auto& [key, row] : t.rows)
        kicks += static_cast<int>(num(row, "kicks"));
    EXPECT_EQ(kicks, 1) << "the ball speeding up far from everyone is no kick";

    // Perceptions: 400 frames; each robot's first frame answers nothing, and
    // the first 0.5 s of the beam window (26 frames with rounding) is silent.
    for (const auto& [key, row] : t.rows) {
        EXPECT_EQ(num(row, "counted") + num(row, "silent"), 399) << key;
        EXPECT_EQ(num(row, "silent"), 26) << key;
    }
    EXPECT_EQ(num(placed, "counted") - num(placed, "answered"), 4)
        << "the miss in the silent window is not counted";
    EXPECT_EQ(num(walker, "answered"), num(walker, "counted"));

    const std::string summary = r.out;
    EXPECT_NE(summary.find("Final score: KALDA (left) 1 : 0 KALDA (right)"), std::string::npos)
        << summary;
    EXPECT_NE(summary.find("last kick by left 9"), std::string::npos) << summary;
    EXPECT_NE(summary.find("5 late lines"), std::string::npos) << summary;
}

// Replies that run behind the messages: the simulator marks those steps
// with a lag; they count as not answered although a frame came every step.
TEST(MatchReport, LaggingStepsLowerTheAnsweredFigure) {
    ScratchDir dir;
    std::string s;
    for (int k = 1; k <= 100; ++k) {
        Bot pace{"left", 4, -3, 1};
        Bot behind{"left", 5, -3, -1};
        if (k > 30 && k <= 60) {
            behind.answered = false;
            behind.lag = k <= 50 ? 1 : 2;
        }
        s += frameLine(k * 0.02, "PlayOn", 0, 0, 0, 0, 0, 0, {pace, behind});
    }
    // A lag that is no count makes the line malformed.
    Bot bad{"left", 5, -3, -1};
    std::string broken = frameLine(2.02, "PlayOn", 0, 0, 0, 0, 0, 0, {bad});
    broken.insert(broken.find("\"answered\""), "\"lag\":-1,");
    s += broken;
    ASSERT_TRUE(dir.write("trace.jsonl", s));
    const Result r = runTool({"trace.jsonl", "--tsv", "players.tsv", "--html", "report.html"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Table t = readTsv(dir.read("players.tsv"));
    EXPECT_EQ(t.info.at("malformed"), "1");
    const Row& pace = t.rows.at("left 4");
    const Row& behind = t.rows.at("left 5");
    EXPECT_EQ(num(pace, "counted"), 99);
    EXPECT_EQ(num(pace, "answered"), 99);
    EXPECT_EQ(num(pace, "lagging"), 0);
    EXPECT_EQ(num(behind, "counted"), 99);
    EXPECT_EQ(num(behind, "answered"), 69);
    EXPECT_EQ(num(behind, "lagging"), 30);
    EXPECT_NE(r.out.find("168 of 198 counted messages answered (84.848%; 30 lagging"),
              std::string::npos)
        << r.out;
    EXPECT_NE(dir.read("report.html").find("69 / 99 (69.697%), 30 lagging"), std::string::npos);
}

TEST(MatchReport, PageIsSelfContainedWellFormedAndComplete) {
    ScratchDir dir;
    ASSERT_TRUE(dir.write("trace.jsonl", scriptedTrace()));
    const Result r =
        runTool({"trace.jsonl", "--html", "report.html", "--title", "A <test> & more", "--quiet"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "") << "--quiet prints nothing";
    const std::string page = dir.read("report.html");
    const XmlCheck x = XmlCheck::run(page);
    ASSERT_TRUE(x.ok) << x.error;
    EXPECT_EQ(x.root, "html");
    EXPECT_EQ(x.elements.at("svg"), 2);  // the paths and the replay
    EXPECT_EQ(x.elements.at("script"), 1);
    EXPECT_GE(x.elements.at("polyline"), 6);  // five robots and the ball
    EXPECT_EQ(x.elements.at("tr"), 6);        // header and five players
    EXPECT_NE(page.find("<title>A &lt;test&gt; &amp; more</title>"), std::string::npos);
    // No network: nothing is loaded from elsewhere.
    for (const char* bad : {"src=", "href=", "@import", "url(", "fetch(", "XMLHttpRequest"})
        EXPECT_EQ(page.find(bad), std::string::npos) << bad;
    // The replay: controls, one frame every 0.1 s plus the mode and score changes.
    for (const char* id : {"id=\"play\"", "id=\"scrub\"", "id=\"speed\"", "id=\"replay-layer\"",
                           "id=\"path-left-7\"", "id=\"path-ball\"", "data-key=\"right-2\""})
        EXPECT_NE(page.find(id), std::string::npos) << id;
    const size_t frames = page.find("\"frames\":[");
    ASSERT_NE(frames, std::string::npos);
    size_t count = 0;
    for (size_t p = page.find("\n[", frames); p != std::string::npos && p < page.find("]};");
         p = page.find("\n[", p + 1))
        ++count;
    EXPECT_GE(count, 80u);
    EXPECT_LE(count, 84u);
    // The placed robot's path has two pieces, not a 5 m line across.
    const size_t g = page.find("id=\"path-right-2\"");
    const size_t gEnd = page.find("</g>", g);
    size_t pieces = 0;
    for (size_t p = page.find("<polyline", g); p < gEnd; p = page.find("<polyline", p + 1))
        ++pieces;
    EXPECT_EQ(pieces, 2u);
}

// The referee's restarts, fouls and moves, counted per side, in the page,
// the replay's data and the summary; the field carries its marks.
TEST(MatchReport, RestartsFoulsAndRobotsPutBackPerSide) {
    ScratchDir dir;
    const std::vector<Bot> bots = {Bot{"left", 4, -3, 1}, Bot{"right", 6, 3, 1}};
    const char* modes[] = {"KickOff_Left", "PlayOn",         "KickIn_Right", "KickIn_Right",
                           "PlayOn",       "free_kick_left", "PlayOn",       "offside_left",
                           "PlayOn",       "KickIn_Right"};
    std::string s;
    double t = 0;
    for (const char* m : modes) {
        t += 0.02;
        s += frameLine(t, m, 0, 0, 0, 0, 0, 0, bots);
    }
    auto event = [](double time, const char* type, const char* reason, const char* side, int unum) {
        char buf[256];
        std::snprintf(buf, sizeof buf,
                      "{\"time\":%.2f,\"event\":{\"type\":\"%s\",\"reason\":\"%s\","
                      "\"side\":\"%s\",\"unum\":%d,\"at\":[1.5,-2.0],"
                      "\"playMode\":\"PlayOn\"}}\n",
                      time, type, reason, side, unum);
        return std::string(buf);
    };
    s += event(0.1, "foul", "pushing", "right", 6);
    s += event(0.12, "foul", "pushing", "right", 6);
    s += event(0.12, "foul", "double touch", "left", 4);
    s += event(0.14, "moved", "lying", "left", 4);
    s += event(0.14, "moved", "keep out", "right", 6);
    s += event(0.16, "fouled", "pushing", "right", 6);  // unknown type: malformed
    // How restarts ended: only those taken count, under the restart named.
    auto restart = [](const char* reason, const char* side, int unum, const char* mode) {
        return std::string("{\"time\":0.1,\"event\":{\"type\":\"restart\",\"reason\":\"") + reason +
               "\",\"side\":\"" + side + "\",\"unum\":" + std::to_string(unum) +
               ",\"at\":[0,0],\"playMode\":\"" + mode + "\"}}\n";
    };
    s += restart("taken", "right", 6, "KickIn_Right");
    s += restart("taken", "left", 0, "free_kick_left");
    s += restart("timed out", "right", 0, "KickIn_Right");
    s += restart("ball moved", "right", 0, "offside_left");
    s += "{\"time\":0.18,\"event\":{\"type\":\"foul\",\"reason\":\"pushing\"}}\n";
    ASSERT_TRUE(dir.write("trace.jsonl", s));
    const Result r = runTool({"trace.jsonl", "--html", "report.html", "--tsv", "players.tsv"});
    ASSERT_EQ(r.status, 0) << r.err;
    // Entries into a mode, by the side that takes it (offside_left: right).
    EXPECT_NE(r.out.find("restarts awarded (left / right):  KickIn_Right 0/2  KickOff_Left 1/0  "
                         "free_kick_left 1/0  offside_left 0/1"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("restarts taken (left / right):  KickIn_Right 0/1  free_kick_left 1/0\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("fouls committed (left / right):  double touch 1/0  pushing 0/2"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("robots moved by the referee (left / right):  keep out 0/1  lying 1/0"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(readTsv(dir.read("players.tsv")).info.at("malformed"), "2");

    const std::string page = dir.read("report.html");
    ASSERT_TRUE(XmlCheck::run(page).ok);
    for (const char* id :
         {"id=\"restarts\"", "id=\"restarts-taken\"", "id=\"fouls\"", "id=\"moves\""})
        EXPECT_NE(page.find(id), std::string::npos) << id;
    EXPECT_NE(page.find("<tr><td>pushing</td><td>0</td><td>2</td></tr>"), std::string::npos);
    // Both fields (paths and replay) carry the centre circle and both areas.
    size_t circles = 0, areas = 0;
    for (size_t p = page.find("id=\"centre-circle\""); p != std::string::npos;
         p = page.find("id=\"centre-circle\"", p + 1))
        ++circles;
    for (size_t p = page.find("penalty-area"); p != std::string::npos;
         p = page.find("penalty-area", p + 1))
        ++areas;
    EXPECT_EQ(circles, 2u);
    EXPECT_EQ(areas, 4u);
    // The replay lists the fouls and robots put back, not the moves away.
    EXPECT_NE(page.find("\"events\":[[0.1,1,\"pushing\",1,6],[0.12,1,\"pushing\",1,6],"
                        "[0.12,1,\"double touch\",0,4],[0.14,0,\"lying\",0,4]]"),
              std::string::npos);
    EXPECT_NE(page.find("set piece: "), std::string::npos);
}

TEST(MatchReport, BrokenLinesAreSkippedAndCounted) {
    ScratchDir dir;
    std::string s;
    std::vector<Bot> bots = {Bot{"left", 4, -3, 1}};
    s += frameLine(0.02, "PlayOn", 0, 0, 0, 0, 0, 0, bots);
    s += "not json at all\n";
    s += "{\"time\":0.04,\"gameTime\":0.04,\"half\":1}\n";                       // fields missing
    s += "{\"time\":\"x\",\"late\":{\"client\":1}}\n";                           // mistyped
    s += std::string(200, '[') + "\n";                                           // deep nesting
    s += "{\"time\":1e999,\"gameTime\":0,\"half\":1}\n";                         // out of range
    s += frameLine(0.04, "PlayOn", 0, 0, 0, 0, 0, 0, {Bot{"middle", 4, 0, 0}});  // unknown side
    s += frameLine(0.06, "PlayOn", 0, 0, 0, 0, 0, 0, bots);
    s += std::string(3 << 20, 'x') + "\n";  // longer than any real line
    s += frameLine(0.08, "PlayOn", 0, 0, 0, 0, 0, 0, bots);
    s += "{\"time\":0.10,\"gameTime\":0.10,\"half\":1,\"playMo";  // cut off by a stop
    ASSERT_TRUE(dir.write("trace.jsonl", s));
    const Result r = runTool({"trace.jsonl", "--tsv", "players.tsv", "--html", "report.html"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Table t = readTsv(dir.read("players.tsv"));
    EXPECT_EQ(t.info.at("frames"), "3");
    EXPECT_EQ(t.info.at("malformed"), "8");
    EXPECT_EQ(t.rows.size(), 1u);
    EXPECT_NE(r.out.find("8 malformed lines skipped"), std::string::npos) << r.out;
    EXPECT_TRUE(XmlCheck::run(dir.read("report.html")).ok);
}

TEST(MatchReport, NamesRobotsThatLeftBeforeTheEnd) {
    ScratchDir dir;
    std::string s;
    for (int k = 1; k <= 100; ++k) {
        std::vector<Bot> bots = {Bot{"left", 2, -5, 0}};
        if (k <= 40)
            bots.push_back(Bot{"right", 6, 5, 0});
        s += frameLine(k * 0.02, "PlayOn", 0, 0, 0, 0, 0, 0, bots);
    }
    ASSERT_TRUE(dir.write("trace.jsonl", s));
    const Result r = runTool({"trace.jsonl"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Left the field before the end: right 6 at 0.8 s\n"), std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("left 2 at"), std::string::npos) << r.out;
}

TEST(MatchReport, StatusLineReadsTheLastCompleteStateLine) {
    ScratchDir dir;
    std::vector<Bot> bots = {Bot{"left", 1, -14, 0}, Bot{"right", 1, 14, 0},
                             Bot{"right", 2, 10, 0}};
    bots[2].lying = true;
    std::string s = frameLine(61.0, "PlayOn", 0, 2, 0, 0, 0, 0, bots, 2);
    s += "{\"time\":61.0000,\"late\":{\"client\":2,\"side\":\"left\",\"unum\":1}}\n";
    s += "{\"time\":61.02,\"gameTime\":61.0";  // being written
    ASSERT_TRUE(dir.write("trace.jsonl", s));
    Result r = runTool({"--status", "trace.jsonl"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "half 2  1:01.0  PlayOn  KALDA 0:2 KALDA  robots 1+2, on the ground 1  "
              "(sim time 61.0 s)\n");

    ASSERT_TRUE(dir.write("empty.jsonl", ""));
    r = runTool({"--status", "empty.jsonl"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("waiting"), std::string::npos);
}

TEST(MatchReport, UsageAndFileErrors) {
    ScratchDir dir;
    EXPECT_EQ(runTool({}).status, 2);
    EXPECT_EQ(runTool({"--bogus", "x"}).status, 2);
    EXPECT_EQ(runTool({"a", "b"}).status, 2);
    EXPECT_EQ(runTool({"x.jsonl", "--html"}).status, 2);
    EXPECT_EQ(runTool({"missing.jsonl"}).status, 1);
    ASSERT_TRUE(dir.write("late-only.jsonl", "{\"time\":1,\"late\":{\"client\":1}}\n"));
    EXPECT_EQ(runTool({"late-only.jsonl"}).status, 1);
    ASSERT_TRUE(dir.write("t.jsonl", frameLine(0.02, "PlayOn", 0, 0, 0, 0, 0, 0, {})));
    EXPECT_EQ(runTool({"t.jsonl", "--html", dir.path() + "/no/such/dir/r.html"}).status, 3);
}

// A trace recorded on tovra-sim: four robots (two per side) beamed in
// BeforeKickOff, the kick-off, a robot laid on its back and the ball rolled
// over the control channel. Read through gzip.
TEST(MatchReport, RecordedTrace) {
    ScratchDir dir;
    const std::string trace =
        std::string(TOVRA_SOURCE_DIR) + "/tests/tools/data/short-trace.jsonl.gz";
    ASSERT_TRUE(fs::exists(trace));
    const Result r = runTool({trace, "--html", "report.html", "--tsv", "players.tsv"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Table t = readTsv(dir.read("players.tsv"));
    EXPECT_EQ(t.info.at("malformed"), "0");
    ASSERT_EQ(t.rows.size(), 4u);
    for (const auto& [key, row] : t.rows) {
        EXPECT_GT(num(row, "counted"), 100) << key;
        EXPECT_EQ(num(row, "answered"), num(row, "counted")) << key;
    }
    const XmlCheck x = XmlCheck::run(dir.read("report.html"));
    EXPECT_TRUE(x.ok) << x.error;
}

}  // namespace
