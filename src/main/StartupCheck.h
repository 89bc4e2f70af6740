#ifndef TOVRA_MAIN_STARTUPCHECK_H
#define TOVRA_MAIN_STARTUPCHECK_H

#include <ostream>

// Looks, once at program start, for the run-time data the agent reads from
// its working directory: the motion files under "Acts/", the home positions
// in "formation.conf" and the stand-up lines in "outputdata". The readers
// themselves say nothing when a file is missing, so a player started in the
// wrong directory would play on without a word; this check names what is
// missing, one line each. The agent runs on either way.
class StartupCheck {
public:
    // Writes one warning line to `out` for each of the three that is missing
    // or unusable in the working directory; returns the number of lines.
    static int warnMissingData(std::ostream& out);
};

#endif
