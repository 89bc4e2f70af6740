#include "Math/Spline.h"

#include <cmath>
#include <iostream>

namespace {
const double kNaturalEnd = 0.99e30;
}

Spline::Spline() : m_yp1(0.0), m_ypn(0.0), m_n(0) {}

void Spline::SetBreakPoints(const double* x, const double* y, int n, double yp1, double ypn) {
    if (n < 0 || x == nullptr || y == nullptr) {
        n = 0;
    }
    m_n = n;
    m_x.assign(n + 1, 0.0);
    m_y.assign(n + 1, 0.0);
    m_y2.assign(n + 1, 0.0);
    for (int i = 0; i < n; ++i) {
        m_x[i + 1] = x[i];
        m_y[i + 1] = y[i];
    }
    m_yp1 = yp1;
    m_ypn = ypn;
}

bool Spline::general() {
    const int n = m_n;
    if (n < 2) {
        return false;
    }
    // The algorithm needs strictly increasing times; anything else would
    // divide by zero or build a curve the bisection cannot search.
    for (int i = 1; i < n; ++i) {
        if (!(m_x[i + 1] > m_x[i])) {
            return false;
        }
    }
    const std::vector<double>& x = m_x;
    const std::vector<double>& y = m_y;
    std::vector<double>& y2 = m_y2;
    m_u.assign(n + 1, 0.0);
    std::vector<double>& u = m_u;

    if (m_yp1 > kNaturalEnd) {
        y2[1] = u[1] = 0.0;
    } else {
        y2[1] = -0.5;
        u[1] = (3.0 / (x[2] - x[1])) * ((y[2] - y[1]) / (x[2] - x[1]) - m_yp1);
    }
    for (int i = 2; i <= n - 1; ++i) {
        const double sig = (x[i] - x[i - 1]) / (x[i + 1] - x[i - 1]);
        const double p = sig * y2[i - 1] + 2.0;
        y2[i] = (sig - 1.0) / p;
        u[i] = (y[i + 1] - y[i]) / (x[i + 1] - x[i]) - (y[i] - y[i - 1]) / (x[i] - x[i - 1]);
        u[i] = (6.0 * u[i] / (x[i + 1] - x[i - 1]) - sig * u[i - 1]) / p;
    }
    double qn = 0.0;
    double un = 0.0;
    if (m_ypn <= kNaturalEnd) {
        qn = 0.5;
        un = (3.0 / (x[n] - x[n - 1])) * (m_ypn - (y[n] - y[n - 1]) / (x[n] - x[n - 1]));
    }
    y2[n] = (un - qn * u[n - 1]) / (qn * y2[n - 1] + 1.0);
    for (int k = n - 1; k >= 1; --k) {
        y2[k] = y2[k] * y2[k + 1] + u[k];
    }
    for (int i = 1; i <= n; ++i) {
        if (!std::isfinite(y2[i])) {
            return false;
        }
    }
    return true;
}

double Spline::getYGivenX(double xv, int der) const {
    if (der < 0) {
        std::cout << "(Spline) getYGivenX der error" << std::endl;
        return 0.0;
    }
    if (m_n < 2) {
        std::cout << "Bad x input to routine splint" << std::endl;
        return 0.0;
    }
    int klo = 1;
    int khi = m_n;
    while (khi - klo > 1) {
        const int k = (khi + klo) >> 1;
        if (m_x[k] > xv) {
            khi = k;
        } else {
            klo = k;
        }
    }
    const double h = m_x[khi] - m_x[klo];
    if (h == 0.0) {
        // Two breakpoints at the same time: there is no interval to
        // interpolate in, so the neutral value is returned.
        std::cout << "Bad x input to routine splint" << std::endl;
        return 0.0;
    }
    const double a = (m_x[khi] - xv) / h;
    const double b = (xv - m_x[klo]) / h;
    switch (der) {
        case 0:
            return a * m_y[klo] + b * m_y[khi] +
                   ((a * a * a - a) * m_y2[klo] + (b * b * b - b) * m_y2[khi]) * (h * h) / 6.0;
        case 1:
            return (m_y[khi] - m_y[klo]) / h -
                   h * ((3.0 * a * a - 1.0) * m_y2[klo] - (3.0 * b * b - 1.0) * m_y2[khi]) / 6.0;
        case 2:
            return a * m_y2[klo] + b * m_y2[khi];
        default:
            return 0.0;
    }
}
