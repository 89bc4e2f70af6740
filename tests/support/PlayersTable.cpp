#include "support/PlayersTable.h"

#include <sstream>
#include <vector>

namespace tovra::test {

PlayersTable readPlayersTable(const std::string& text) {
    PlayersTable t;
    std::istringstream in(text);
    std::string line;
    std::vector<std::string> header;
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        std::istringstream cs(line);
        std::string cell;
        while (std::getline(cs, cell, '\t'))
            cells.push_back(cell);
        if (cells.empty())
            continue;
        if (cells[0][0] == '#') {
            std::string rest;
            for (size_t i = 1; i < cells.size(); ++i)
                rest += (i > 1 ? " " : "") + cells[i];
            t.info[cells[0].substr(1)] = rest;
        } else if (header.empty()) {
            header = cells;
        } else {
            PlayersTable::Row r;
            for (size_t i = 0; i < cells.size() && i < header.size(); ++i)
                r[header[i]] = cells[i];
            t.rows[r["side"] + " " + r["unum"]] = r;
        }
    }
    return t;
}

}  // namespace tovra::test
