#include "GroundTruth.h"

#include <cstdlib>

namespace tovra::motion {

namespace {

// The number after `key` at or after `from`; false when it is missing.
bool numberAfter(const std::string& text, const std::string& key, std::size_t from, double& out,
                 std::size_t* end = nullptr) {
    const std::size_t at = text.find(key, from);
    if (at == std::string::npos) {
        return false;
    }
    const char* start = text.c_str() + at + key.size();
    char* stop = nullptr;
    out = std::strtod(start, &stop);
    if (stop == start) {
        return false;
    }
    if (end != nullptr) {
        *end = static_cast<std::size_t>(stop - text.c_str());
    }
    return true;
}

// Three numbers of a JSON array that starts right after `key`.
bool vectorAfter(const std::string& text, const std::string& key, std::size_t from, double out[3]) {
    std::size_t at = 0;
    if (!numberAfter(text, key, from, out[0], &at)) {
        return false;
    }
    return numberAfter(text, ",", at, out[1], &at) && numberAfter(text, ",", at, out[2]);
}

}  // namespace

GroundTruth GroundTruth::parse(const std::string& json, const std::string& side, int unum) {
    GroundTruth g;
    numberAfter(json, "\"time\":", 0, g.time);
    const std::string modeKey = "\"playMode\":\"";
    const std::size_t mode = json.find(modeKey);
    if (mode != std::string::npos) {
        const std::size_t end = json.find('"', mode + modeKey.size());
        if (end != std::string::npos) {
            g.playMode = json.substr(mode + modeKey.size(), end - mode - modeKey.size());
        }
    }
    double left = 0, right = 0;
    std::size_t at = 0;
    if (numberAfter(json, "\"score\":[", 0, left, &at) && numberAfter(json, ",", at, right)) {
        g.score[0] = static_cast<int>(left);
        g.score[1] = static_cast<int>(right);
    }
    if (!vectorAfter(json, "\"ball\":{\"pos\":[", 0, g.ball)) {
        return g;
    }
    const std::string who = "{\"side\":\"" + side + "\",\"unum\":" + std::to_string(unum) + ",";
    const std::size_t robot = json.find(who);
    if (robot == std::string::npos) {
        return g;
    }
    if (!vectorAfter(json, "\"pos\":[", robot, g.pos) ||
        !numberAfter(json, "\"heading\":", robot, g.heading)) {
        return g;
    }
    const std::size_t lying = json.find("\"lying\":", robot);
    if (lying == std::string::npos) {
        return g;
    }
    g.lying = json.compare(lying + 8, 4, "true") == 0;
    g.valid = true;
    return g;
}

}  // namespace tovra::motion
