#ifndef TOVRA_MATH_STR_H
#define TOVRA_MATH_STR_H

#include <string>
#include <vector>

#include "Math/Vector.h"

// A value held in its text form. Lists of floats are written as each number
// followed by "|".
class Str {
public:
    Str() = default;
    explicit Str(const std::string& text);
    explicit Str(const std::vector<float>& values);
    explicit Str(const Vector& v);
    virtual ~Str() = default;

    void value(std::string& out) const;
    // The first character ('\0' for an empty text).
    void value(char& out) const;
    // True when the lower-cased text is "true" or "1".
    void value(bool& out) const;
    void value(int& out) const;
    void value(unsigned& out) const;
    // "nan" gives 0.
    void value(float& out) const;
    void value(double& out) const;
    // The "|"-separated numbers.
    void value(std::vector<float>& out) const;
    // The first three numbers of the list as x, y, z (missing ones are 0).
    void value(Vector& out) const;

    template <class T>
    T as() const {
        T out{};
        value(out);
        return out;
    }

    std::string stringVal;
};

#endif
