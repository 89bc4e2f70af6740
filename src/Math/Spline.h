#ifndef TOVRA_MATH_SPLINE_H
#define TOVRA_MATH_SPLINE_H

#include <vector>

// Cubic spline through a set of breakpoints. The arrays are indexed from 1 to
// m_n (slot 0 is unused). An end slope above 9.9e29 gives a natural end
// (second derivative zero), any other value is the first derivative at that
// end.
class Spline {
public:
    Spline();

    // Replaces the breakpoints with copies of the n points x[0..n-1],
    // y[0..n-1] and stores the end slopes. A negative n is taken as 0.
    void SetBreakPoints(const double* x, const double* y, int n, double yp1, double ypn);

    // Computes the second derivatives. False when fewer than two points are
    // set, when the times do not strictly increase, or when any second
    // derivative is not a finite number.
    bool general();

    // Value (der 0) or derivative (der 1, 2) at x; 0 for der above 2. Points
    // outside the breakpoints are extrapolated with the end polynomial.
    double getYGivenX(double x, int der) const;

    int getNumPoints() const { return m_n; }

private:
    std::vector<double> m_x;
    std::vector<double> m_y;
    std::vector<double> m_y2;
    double m_yp1;
    double m_ypn;
    int m_n;
    // Scratch row of general(), kept to avoid an allocation per rebuild.
    std::vector<double> m_u;
};

#endif
