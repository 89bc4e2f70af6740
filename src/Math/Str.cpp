#include "Math/Str.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

Str::Str(const std::string& text) : stringVal(text) {}

Str::Str(const std::vector<float>& values) {
    std::ostringstream os;
    for (float v : values) {
        os << v << "|";
    }
    stringVal = os.str();
}

Str::Str(const Vector& v)
    : Str(std::vector<float>{static_cast<float>(v.getX()), static_cast<float>(v.getY()),
                             static_cast<float>(v.getZ())}) {}

void Str::value(std::string& out) const {
    out = stringVal;
}

void Str::value(char& out) const {
    out = stringVal.empty() ? '\0' : stringVal[0];
}

void Str::value(bool& out) const {
    std::string lower = stringVal;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    out = lower == "true" || lower == "1";
}

void Str::value(int& out) const {
    out = static_cast<int>(std::strtol(stringVal.c_str(), nullptr, 10));
}

void Str::value(unsigned& out) const {
    out = static_cast<unsigned>(std::strtol(stringVal.c_str(), nullptr, 10));
}

void Str::value(float& out) const {
    out = stringVal == "nan" ? 0.0f : std::strtof(stringVal.c_str(), nullptr);
}

void Str::value(double& out) const {
    out = std::strtod(stringVal.c_str(), nullptr);
}

void Str::value(std::vector<float>& out) const {
    out.clear();
    std::string::size_type start = 0;
    while (start < stringVal.size()) {
        std::string::size_type end = stringVal.find('|', start);
        if (end == std::string::npos) {
            end = stringVal.size();
        }
        out.push_back(std::strtof(stringVal.substr(start, end - start).c_str(), nullptr));
        start = end + 1;
    }
}

void Str::value(Vector& out) const {
    std::vector<float> values;
    value(values);
    values.resize(3, 0.0f);
    out = Vector(values[0], values[1], values[2]);
}
