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

// Takes the stored value, converted as C++ converts it, when v holds an S;
// false when it holds another type.
template <typename S, typename T>
bool copied(const any& v, T& value) {
    const S* stored = any_cast<S>(&v);
    if (stored == nullptr)
        return false;
    value = static_cast<T>(*stored);
    return true;
}

// Takes the stored number as an output stream prints it when v holds an S.
template <typename S>
bool printed(const any& v, std::string& value) {
    const S* stored = any_cast<S>(&v);
    if (stored == nullptr)
        return false;
    value = streamed(*stored);
    return true;
}

// The conversions of the scalar reads: readStored from the stored values
// each type accepts, readText from stored text. Both leave value untouched
// when they refuse it.

bool readStored(const any& v, std::string& value) {
    // A stored std::string is taken whole, embedded null characters included.
    return copied<std::string>(v, value) || printed<double>(v, value) || printed<float>(v, value) ||
           printed<int>(v, value);
}

bool readText(const char* text, std::string& value) {
    value = text;
    return true;
}

bool readStored(const any& v, double& value) {
    return copied<double>(v, value) || copied<float>(v, value) || copied<int>(v, value);
}

bool readText(const char* text, double& value) {
    value = std::atof(text);
    return true;
}

bool readStored(const any& v, float& value) {
    if (const double* d = any_cast<double>(&v)) {
        value = toFloat(*d);
        return true;
    }
    return copied<float>(v, value) || copied<int>(v, value);
}

bool readText(const char* text, float& value) {
    value = toFloat(std::atof(text));
    return true;
}

// Text is read as a number and truncated; only values strictly between low
// and high are taken (NaN fails both tests).
template <typename I>
bool truncated(const char* text, double low, double high, I& value) {
    const double d = std::atof(text);
    if (!(d > low && d < high))
        return false;
    value = static_cast<I>(d);
    return true;
}

bool readStored(const any& v, int& value) {
    const unsigned int* u = any_cast<unsigned int>(&v);
    if (u != nullptr && *u > static_cast<unsigned int>(std::numeric_limits<int>::max()))
        return false;
    return copied<int>(v, value) || copied<unsigned int>(v, value);
}

bool readText(const char* text, int& value) {
    return truncated(text, -2147483649.0, 2147483648.0, value);
}

bool readStored(const any& v, unsigned int& value) {
    const int* i = any_cast<int>(&v);
    if (i != nullptr && *i < 0)
        return false;
    return copied<unsigned int>(v, value) || copied<int>(v, value);
}

bool readText(const char* text, unsigned int& value) {
    return truncated(text, -1.0, 4294967296.0, value);
}

bool readStored(const any& v, bool& value) {
    return copied<bool>(v, value);
}

bool readText(const char* text, bool& value) {
    if (std::strcmp(text, "true") == 0) {
        value = true;
    } else if (std::strcmp(text, "false") == 0) {
        value = false;
    } else {
        return false;
    }
    return true;
}

// One scalar read: the value at iter as a stored value of an accepted type
// or as stored text (a null C string is refused); iter moves on only when
// the value was read.
template <typename T>
bool advanceScalar(const ParameterList::TVector& list, ParameterList::TVector::const_iterator& iter,
                   T& value) {
    if (iter == list.end())
        return false;
    const char* text = nullptr;
    const bool read = readStored(*iter, value) ||
                      (storedText(*iter, text) && text != nullptr && readText(text, value));
    if (read)
        ++iter;
    return read;
}

// Reads n consecutive floats into out; all or nothing.
bool readFloats(const ParameterList& list, ParameterList::TVector::const_iterator& iter, float* out,
                int n) {
    ParameterList::TVector::const_iterator position = iter;
    for (int i = 0; i < n; ++i) {
        if (!list.AdvanceValue(position, out[i]))
            return false;
    }
    iter = position;
    return true;
}

// A vector read: a stored V, or N consecutive floats made into a V by make.
template <typename V, int N, typename Make>
bool advanceVector(const ParameterList& list, ParameterList::TVector::const_iterator& iter,
                   V& value, Make make) {
    if (iter == list.end())
        return false;
    if (const V* stored = any_cast<V>(&*iter)) {
        value = *stored;
        ++iter;
        return true;
    }
    float f[N];
    if (!readFloats(list, iter, f, N))
        return false;
    value = make(f);
    return true;
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
    return advanceScalar(mList, iter, value);
}

bool ParameterList::AdvanceValue(TVector::const_iterator& iter, double& value) const {
    return advanceScalar(mList, iter, value);
}

bool ParameterList::AdvanceValue(TVector::const_iterator& iter, float& value) const {
    return advanceScalar(mList, iter, value);
}

bool ParameterList::AdvanceValue(TVector::const_iterator& iter, int& value) const {
    return advanceScalar(mList, iter, value);
}

bool ParameterList::AdvanceValue(TVector::const_iterator& iter, unsigned int& value) const {
    return advanceScalar(mList, iter, value);
}

bool ParameterList::AdvanceValue(TVector::const_iterator& iter, bool& value) const {
    return advanceScalar(mList, iter, value);
}

bool ParameterList::AdvanceValue(TVector::const_iterator& iter, salt::Vector3f& value) const {
    return advanceVector<salt::Vector3f, 3>(
        *this, iter, value, [](const float* f) { return salt::Vector3f(f[0], f[1], f[2]); });
}

bool ParameterList::AdvanceValue(TVector::const_iterator& iter, salt::Vector2f& value) const {
    return advanceVector<salt::Vector2f, 2>(
        *this, iter, value, [](const float* f) { return salt::Vector2f(f[0], f[1]); });
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
    if (readFloats(*this, position, m, 16)) {
        value.Set(m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8], m[9], m[10], m[11], m[12],
                  m[13], m[14], m[15]);
        iter = position;
        return true;
    }
    position = iter;
    salt::Vector3f pos;
    float angles[3];
    if (!AdvanceValue(position, pos) || !readFloats(*this, position, angles, 3))
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
