// tovra-match-report: reads the trace of a match on the bundled simulator
// and tells what happened.
//
//   tovra-match-report TRACE [--html FILE] [--tsv FILE] [--title TEXT] [--quiet]
//       reads the whole trace (".gz" is read through gzip), prints the score
//       and a per-player summary, and writes the self-contained HTML report
//       and a tab-separated per-player table when asked;
//   tovra-match-report --status TRACE
//       one progress line from the last complete state line of a trace that
//       is still being written.
//
// Exit status: 0 done, 1 the trace cannot be read or holds no state line,
// 2 usage error, 3 an output file cannot be written.

#include <fstream>
#include <iostream>
#include <string>

#include "match_report/MatchAnalysis.h"
#include "match_report/ReportWriter.h"
#include "match_report/Trace.h"

using tovra::report::Frame;
using tovra::report::LateReply;
using tovra::report::MatchAnalysis;
using tovra::report::RefereeEvent;
using tovra::report::ReportWriter;
using tovra::report::TraceFile;
using tovra::report::TraceLine;

namespace {

int usage() {
    std::cerr << "usage: tovra-match-report TRACE [--html FILE] [--tsv FILE] [--title TEXT] "
                 "[--quiet]\n"
                 "       tovra-match-report --status TRACE\n";
    return 2;
}

template <typename Write>
bool writeFile(const std::string& path, Write write) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        std::cerr << "(tovra-match-report) cannot write " << path << "\n";
        return false;
    }
    write(out);
    out.flush();
    if (!out) {
        std::cerr << "(tovra-match-report) cannot write " << path << "\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string trace;
    std::string html;
    std::string tsv;
    std::string title = "Match report";
    bool status = false;
    bool quiet = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc)
                return false;
            out = argv[++i];
            return true;
        };
        if (a == "--help") {
            usage();
            return 0;
        } else if (a == "--status") {
            status = true;
        } else if (a == "--quiet") {
            quiet = true;
        } else if (a == "--html") {
            if (!value(html))
                return usage();
        } else if (a == "--tsv") {
            if (!value(tsv))
                return usage();
        } else if (a == "--title") {
            if (!value(title))
                return usage();
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            std::cerr << "(tovra-match-report) unknown option " << a << "\n";
            return usage();
        } else if (trace.empty()) {
            trace = a;
        } else {
            return usage();
        }
    }
    if (trace.empty())
        return usage();

    if (status) {
        Frame f;
        if (!TraceFile::lastFrame(trace, f)) {
            std::cout << "waiting for the simulator's first step\n";
            return 1;
        }
        std::cout << ReportWriter::statusLine(f) << "\n";
        return 0;
    }

    TraceFile file(trace);
    if (!file.ok()) {
        std::cerr << "(tovra-match-report) cannot read " << trace << "\n";
        return 1;
    }
    MatchAnalysis match;
    std::string line;
    bool truncated = false;
    Frame frame;
    LateReply late;
    RefereeEvent event;
    while (file.next(line, truncated)) {
        if (line.empty())
            continue;
        if (truncated) {
            match.addMalformed();
            continue;
        }
        switch (TraceLine::read(line, frame, late, event)) {
            case TraceLine::Kind::Frame:
                match.add(frame);
                break;
            case TraceLine::Kind::Late:
                match.addLate(late);
                break;
            case TraceLine::Kind::Event:
                match.addEvent(event);
                break;
            case TraceLine::Kind::Malformed:
                match.addMalformed();
                break;
        }
    }
    if (match.empty()) {
        std::cerr << "(tovra-match-report) no state line in " << trace << "\n";
        return 1;
    }
    ReportWriter writer(match);
    if (!quiet)
        writer.summary(std::cout);
    if (!html.empty() &&
        !writeFile(html, [&](std::ostream& out) { writer.html(out, title, trace); }))
        return 3;
    if (!tsv.empty() && !writeFile(tsv, [&](std::ostream& out) { writer.tsv(out); }))
        return 3;
    return 0;
}
