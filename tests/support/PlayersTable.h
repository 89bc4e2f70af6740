#ifndef TOVRA_TESTS_SUPPORT_PLAYERSTABLE_H
#define TOVRA_TESTS_SUPPORT_PLAYERSTABLE_H

#include <map>
#include <string>

namespace tovra::test {

// A match's players.tsv: the "#key" lines (their cells after the key joined
// by spaces) and one row per player, keyed "side unum", each cell named by
// the header line.
struct PlayersTable {
    using Row = std::map<std::string, std::string>;
    std::map<std::string, std::string> info;
    std::map<std::string, Row> rows;
};

PlayersTable readPlayersTable(const std::string& text);

}  // namespace tovra::test

#endif
