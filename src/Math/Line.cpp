#include "Math/Line.h"

#include <cmath>
#include <iostream>

using salt::Vector3f;

namespace {
const double kPi = 3.141592653589793;
const double kEpsilon = 0.0001;
}  // namespace

Circle::Circle() : m_posCenter(-1000, -1000, -1000), m_dRadius(0) {}

Circle::Circle(Vector3f pos, double r) : m_posCenter(pos), m_dRadius(0) {
    setRadius(r);
}

bool Circle::setCircle(Vector3f pos, double r) {
    setCenter(pos);
    return setRadius(r);
}

bool Circle::setRadius(double r) {
    if (r > 0) {
        m_dRadius = r;
        return true;
    }
    m_dRadius = 0;
    return false;
}

double Circle::getCircumference() const {
    return 6.283185307179586 * m_dRadius;
}

double Circle::getArea() const {
    return kPi * m_dRadius * m_dRadius;
}

double Circle::getVolume() const {
    return 4.1887902047863905 * m_dRadius * m_dRadius * m_dRadius;
}

void Circle::show(std::ostream& os) const {
    os << "c:(" << m_posCenter.x() << ", " << m_posCenter.y() << ", " << m_posCenter.z()
       << "), r:" << m_dRadius;
}

Line::Line(double a, double b, double c) : m_a(a), m_b(b), m_c(c) {}

double Line::yGivenX(double x) const {
    if (m_a == 0) {
        std::cerr << "(Line::yGivenX) Cannot calculate Y coordinate: ";
        show(std::cerr);
        std::cerr << std::endl;
        return 0;
    }
    return -(m_b * x + m_c) / m_a;
}

double Line::xGivenY(double y) const {
    if (m_b == 0) {
        std::cerr << "(Line::xGivenY) Cannot calculate X coordinate\n";
        return 0;
    }
    return -(m_a * y + m_c) / m_b;
}

int Line::getCircleIntersectionPoints(const Circle* circle, Vector3f* p1, Vector3f* p2) const {
    if (circle == nullptr) {
        return 0;
    }
    const double h = circle->getCenter().x();
    const double k = circle->getCenter().y();
    const double r = circle->getRadius();
    double s1 = 0;
    double s2 = 0;
    int count = 0;
    if (std::fabs(m_a) < kEpsilon) {
        // Vertical line x = -c/b: solve for y.
        const double x = -m_c / m_b;
        count = abcFormula(1, -2 * k, (x - h) * (x - h) + k * k - r * r, &s1, &s2);
        if (count >= 1 && p1 != nullptr) {
            p1->Set(static_cast<float>(x), static_cast<float>(s1), 0);
        }
        if (count == 2 && p2 != nullptr) {
            p2->Set(static_cast<float>(x), static_cast<float>(s2), 0);
        }
    } else {
        // y = m*x + n: solve for x.
        const double m = -m_b / m_a;
        const double n = -m_c / m_a;
        count = abcFormula(m * m + 1, 2 * (m * n - h - k * m),
                           h * h + n * n - 2 * k * n + k * k - r * r, &s1, &s2);
        if (count >= 1 && p1 != nullptr) {
            p1->Set(static_cast<float>(s1), static_cast<float>(m * s1 + n), 0);
        }
        if (count == 2 && p2 != nullptr) {
            p2->Set(static_cast<float>(s2), static_cast<float>(m * s2 + n), 0);
        }
    }
    return count;
}

void Line::show(std::ostream& os) const {
    if (m_a == 0) {
        os << "x = " << -m_c / m_b;
        return;
    }
    os << "y = ";
    if (m_b != 0) {
        os << -m_b / m_a << "x ";
    }
    if (m_c != 0) {
        os << (m_c > 0 ? "- " : "+ ") << std::fabs(m_c / m_a);
    }
}

Line Line::makeLineFromTwoPoints(Vector3f p1, Vector3f p2) {
    const double dx = static_cast<double>(p2.x()) - p1.x();
    if (std::fabs(dx) < kEpsilon) {
        return Line(0, 1, -p2.x());
    }
    const double b = -(static_cast<double>(p2.y()) - p1.y()) / dx;
    return Line(1, b, -p2.y() - b * p2.x());
}

int Line::abcFormula(double a, double b, double c, double* s1, double* s2) {
    const double d = b * b - 4 * a * c;
    if (std::fabs(d) < kEpsilon) {
        if (s1 != nullptr) {
            *s1 = -b / (2 * a);
        }
        return 1;
    }
    if (d < 0) {
        return 0;
    }
    const double root = std::sqrt(d);
    if (s1 != nullptr) {
        *s1 = (root - b) / (2 * a);
    }
    if (s2 != nullptr) {
        *s2 = (-b - root) / (2 * a);
    }
    return 2;
}

std::ostream& operator<<(std::ostream& os, const Line& line) {
    line.show(os);
    return os;
}

std::ostream& operator<<(std::ostream& os, const Circle& circle) {
    circle.show(os);
    return os;
}
