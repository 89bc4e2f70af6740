#include "zeitgeist/parameterlist.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <sstream>
#include <utility>

#include "salt/gmath.h"

using boost::any;
using boost::any_cast;

namespace zeitgeist {

namespace {

// True when the value is stored text (std::string, char* or const char*);
// `text` is then its characters, null for a null C string.
bool storedText(const any& v, const char*& text) {
    if (const std::string* s = any_cast<std::string>(&v)) {
        text = s->c_str();
        return true;
    }
    if (char* const* p = any_cast<char*>(&v)) {
        text = *p;
        return true;
    }
    if (const char* const* p = any_cast<const char*>(&v)) {
        text = *p;
        return true;
    }
    return false;
}

// Double to float with IEEE round-to-nearest, also for magnitudes beyond the
// float range (which a plain conversion leaves undefined).
float toFloat(double d) {
    const double limit = static_cast<double>(FLT_MAX);
    if (std::fabs(d) > limit) {
        // Halfway between FLT_MAX and 2^128: from here on the value rounds to infinity.
        const double overflow = 3.4028235677973366e38;
        const float big =
            std::fabs(d) >= overflow ? std::numeric_limits<float>::infinity() : FLT_MAX;
        return d < 0 ? -big : big;
    }
    return static_cast<float>(d);
}

template <typename T>
std::string streamed(T value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

}  // namespace

ParameterList::ParameterList() = default;

ParameterList::~ParameterList() = default;

void ParameterList::AddValue(const any& value) {
    mList.push_back(value);
}

void ParameterList::AddValue(any&& value) {
    mList.push_back(std::move(value));
}

ParameterList& ParameterList::AddList() {
    mList.emplace_back(ParameterList());
    return *any_cast<ParameterList>(&mList.back());
}

int ParameterList::GetSize() const {
    return static_cast<int>(mList.size());
}

bool ParameterList::IsEmpty() const {
    return mList.empty();
}

void ParameterList::Clear() {
    mList.clear();
}

void ParameterList::Pop_Front() {
    if (!mList.empty())
        mList.erase(mList.begin());
}

void ParameterList::Pop_Back() {
    if (!mList.empty())
        mList.pop_back();
}

ParameterList::TVector::const_iterator ParameterList::operator[](int n) const {
    if (n < 0 || n >= GetSize())
        return mList.end();
    return mList.begin() + n;
}

ParameterList::TVector::iterator ParameterList::operator[](int n) {
    if (n < 0 || n >= GetSize())
        return mList.end();
    return mList.begin() + n;
}

bool ParameterList::AdvanceValue(TVector::const_iterator& iter, std::string& value) const {
    if (iter == mList.end())
        return false;
    const any& v = *iter;
    const char* text = nullptr;
    if (const std::string* s = any_cast<std::string>(&v)) {
        value = *s;
    } else if (storedText(v, text)) {
        if (text == nullptr)
            return false;
        value = text;
    } else if (const double* d = any_cast<double>(&v)) {
        value = streamed(*d);
    } else if (const float* f = any_cast<float>(&v)) {
        value = streamed(*f);
    } else if (const int* i = any_cast<int>(&v)) {
        value = streamed(*i);
    } else {
        return false;
    }
    ++iter;
    return true;
}

bool ParameterList::AdvanceValue(TVector::const_iterator& iter, double& value) const {
    if (iter == mList.end())
        return false;
    const any& v = *iter;
    const char* text = nullptr;
    if (storedText(v, text)) {
        if (text == nullptr)
            return false;
        value = std::atof(text);
    } else if (const double* d = any_cast<double>(&v)) {
        value = *d;
    } else if (const float* f = any_cast<float>(&v)) {
        value = *f;
    } else if (const int* i = any_cast<int>(&v)) {
        value = *i;
    } else {
        return false;
    }
    ++iter;
    return true;
}

bool ParameterList::AdvanceValue(TVector::const_iterator& iter, float& value) const {
    if (iter == mList.end())
        return false;
    const any& v = *iter;
    const char* text = nullptr;
    if (storedText(v, text)) {
        if (text == nullptr)
            return false;
        value = toFloat(std::atof(text));
    } else if (const float* f = any_cast<float>(&v)) {
        value = *f;
    } else if (const double* d = any_cast<double>(&v)) {
        value = toFloat(*d);
    } else if (const int* i = any_cast<int>(&v)) {
        value = static_cast<float>(*i);
    } else {
        return false;
    }
    ++iter;
    return true;
}

bool ParameterList::AdvanceValue(TVector::const_iterator& iter, int& value) const {
    if (iter == mList.end())
        return false;
    const any& v = *iter;
    const char* text = nullptr;
    if (storedText(v, text)) {
        if (text == nullptr)
            return false;
        const double d = std::atof(text);
        // Only values whose truncation fits an int; NaN fails both tests.
        if (!(d > -2147483649.0 && d < 2147483648.0))
            return false;
        value = static_cast<int>(d);
    } else if (const int* i = any_cast<int>(&v)) {
        value = *i;
    } else if (const unsigned int* u = any_cast<unsigned int>(&v)) {
        if (*u > static_cast<unsigned int>(std::numeric_limits<int>::max()))
            return false;
        value = static_cast<int>(*u);
    } else {
        return false;
    }
    ++iter;
    return true;
}

bool ParameterList::AdvanceValue(TVector::const_iterator& iter, unsigned int& value) const {
    if (iter == mList.end())
        return false;
    const any& v = *iter;
    const char* text = nullptr;
    if (storedText(v, text)) {
        if (text == nullptr)
            return false;
        const double d = std::atof(text);
        if (!(d > -1.0 && d < 4294967296.0))
            return false;
        value = static_cast<unsigned int>(d);
    } else if (const unsigned int* u = any_cast<unsigned int>(&v)) {
        value = *u;
    } else if (const int* i = any_cast<int>(&v)) {
        if (*i < 0)
            return false;
        value = static_cast<unsigned int>(*i);
    } else {
        return false;
    }
    ++iter;
    return true;
}

bool ParameterList::AdvanceValue(TVector::const_iterator& iter, bool& value) const {
    if (iter == mList.end())
        return false;
    const any& v = *iter;
    const char* text = nullptr;
    if (const bool* b = any_cast<bool>(&v)) {
        value = *b;
    } else if (storedText(v, text)) {
        if (text == nullptr)
            return false;
        if (std::strcmp(text, "true") == 0) {
            value = true;
        } else if (std::strcmp(text, "false") == 0) {
            value = false;
        } else {
            return false;
        }
    } else {
        return false;
    }
    ++iter;
    return true;
}

bool ParameterList::GetFloats(TVector::const_iterator& iter, float* out, int n) const {
    TVector::const_iterator position = iter;
    for (int i = 0; i < n; ++i) {
        if (!AdvanceValue(position, out[i]))
            return false;
    }
    iter = position;
    return true;
}

bool ParameterList::AdvanceValue(TVector::const_iterator& iter, salt::Vector3f& value) const {
    if (iter == mList.end())
        return false;
    if (const salt::Vector3f* stored = any_cast<salt::Vector3f>(&*iter)) {
        value = *stored;
        ++iter;
        return true;
    }
    float f[3];
    if (!GetFloats(iter, f, 3))
        return false;
    value = salt::Vector3f(f[0], f[1], f[2]);
    return true;
}

bool ParameterList::AdvanceValue(TVector::const_iterator& iter, salt::Vector2f& value) const {
    if (iter == mList.end())
        return false;
    if (const salt::Vector2f* stored = any_cast<salt::Vector2f>(&*iter)) {
        value = *stored;
        ++iter;
        return true;
    }
    float f[2];
    if (!GetFloats(iter, f, 2))
        return false;
    value = salt::Vector2f(f[0], f[1]);
    return true;
}

// A matrix is read as a stored Matrix, as 16 floats in row order, or as a
// position (a Vector3f) followed by three angles in degrees: the rotation
// about x is applied first in the matrix's own frame, then y, then z.
bool ParameterList::AdvanceValue(TVector::const_iterator& iter, salt::Matrix& value) const {
    if (iter == mList.end())
        return false;
    if (const salt::Matrix* stored = any_cast<salt::Matrix>(&*iter)) {
        value = *stored;
        ++iter;
        return true;
    }
    float m[16];
    TVector::const_iterator position = iter;
    if (GetFloats(position, m, 16)) {
        value.Set(m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8], m[9], m[10], m[11], m[12],
                  m[13], m[14], m[15]);
        iter = position;
        return true;
    }
    position = iter;
    salt::Vector3f pos;
    float angles[3];
    if (!AdvanceValue(position, pos) || !GetFloats(position, angles, 3))
        return false;
    salt::Matrix result;
    result.Pos() = pos;
    result.RotateX(salt::gDegToRad(angles[0]));
    result.RotateY(salt::gDegToRad(angles[1]));
    result.RotateZ(salt::gDegToRad(angles[2]));
    value = result;
    iter = position;
    return true;
}

}  // namespace zeitgeist
