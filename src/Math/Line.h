#ifndef TOVRA_MATH_LINE_H
#define TOVRA_MATH_LINE_H

#include <ostream>

#include "salt/vector.h"

// A circle in the xy-plane.
class Circle {
public:
    // Centre (-1000, -1000, -1000), radius 0.
    Circle();
    Circle(salt::Vector3f pos, double r);

    // Returns setRadius(r).
    bool setCircle(salt::Vector3f pos, double r);
    void setCenter(salt::Vector3f pos) { m_posCenter = pos; }
    salt::Vector3f getCenter() const { return m_posCenter; }
    // Stores r and returns true when r > 0; otherwise stores 0 and returns false.
    bool setRadius(double r);
    double getRadius() const { return m_dRadius; }
    double getCircumference() const;
    double getArea() const;
    double getVolume() const;
    // "c:" centre ", r:" radius.
    void show(std::ostream& os) const;

private:
    salt::Vector3f m_posCenter;
    double m_dRadius;
};

// The line a*y + b*x + c = 0 (a multiplies y, b multiplies x).
class Line {
public:
    Line(double a, double b, double c);

    double getACoefficient() const { return m_a; }
    double getBCoefficient() const { return m_b; }
    double getCCoefficient() const { return m_c; }

    // Report on the standard error stream and return 0 when the line is
    // parallel to the asked axis.
    double yGivenX(double x) const;
    double xGivenY(double y) const;

    // Number of intersection points (0, 1 or 2) with the circle; the points
    // found are stored in p1 and p2 (z = 0) when they are given.
    int getCircleIntersectionPoints(const Circle* circle, salt::Vector3f* p1,
                                    salt::Vector3f* p2) const;

    // "y = ..." or, for a vertical line, "x = ...".
    void show(std::ostream& os) const;

    static Line makeLineFromTwoPoints(salt::Vector3f p1, salt::Vector3f p2);
    // Roots of a*x^2 + b*x + c; returns how many were stored (0, 1 or 2).
    static int abcFormula(double a, double b, double c, double* s1, double* s2);

private:
    double m_a;
    double m_b;
    double m_c;
};

std::ostream& operator<<(std::ostream& os, const Line& line);
std::ostream& operator<<(std::ostream& os, const Circle& circle);

#endif
