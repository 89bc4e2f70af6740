#ifndef TOVRA_TOOLS_MATCH_REPORT_REPORTWRITER_H
#define TOVRA_TOOLS_MATCH_REPORT_REPORTWRITER_H

#include <ostream>
#include <string>

#include "match_report/MatchAnalysis.h"

namespace tovra::report {

// Turns a match analysis into the things people read: the self-contained
// HTML report (inline SVG and script, no network), the per-player summary
// for the terminal, a tab-separated table for scripts, and the one-line
// progress display.
class ReportWriter {
public:
    explicit ReportWriter(const MatchAnalysis& match) : match_(match) {}

    // `title` is shown as the page's heading; `source` names the trace.
    void html(std::ostream& out, const std::string& title, const std::string& source) const;
    void summary(std::ostream& out) const;
    void tsv(std::ostream& out) const;

    static std::string statusLine(const Frame& frame);
    // "m:ss.s" of a game time in seconds.
    static std::string clock(double seconds);

private:
    void fieldSvg(std::ostream& out) const;
    void pathsSvg(std::ostream& out) const;
    void playerTable(std::ostream& out) const;
    void replayData(std::ostream& out) const;
    // Restarts per play mode, fouls and the robots the referee moved, per side.
    void refereeTables(std::ostream& out, const std::string& left, const std::string& right) const;

    const MatchAnalysis& match_;
};

}  // namespace tovra::report

#endif
