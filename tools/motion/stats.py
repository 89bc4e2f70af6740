"""95 % intervals for the figures of repeated trials.

- wilson(k, n): a proportion k/n with Wilson's score interval;
- newcombe(k1, n1, k2, n2): the difference p1 - p2 of two independent
  proportions with Newcombe's hybrid score interval (built from the two
  Wilson intervals);
- mean_interval(xs): a mean with Student's t interval;
- paired_difference(a, b): the mean of b - a over pairs (the same seed run
  twice) with the t interval of those differences.

Every function returns plain numbers: (estimate, low, high), low and high
None where the data give no interval (no trial, a single value). The
format_* functions turn them into the lines the tools print."""

import math

# The normal quantile of 0.975: a two-sided 95 % interval.
Z95 = 1.959963984540054

# Student's t quantile of 0.975 for 1 to 30 degrees of freedom.
_T95 = (
    12.706205, 4.302653, 3.182446, 2.776445, 2.570582,
    2.446912, 2.364624, 2.306004, 2.262157, 2.228139,
    2.200985, 2.178813, 2.160369, 2.144787, 2.131450,
    2.119905, 2.109816, 2.100922, 2.093024, 2.085963,
    2.079614, 2.073873, 2.068658, 2.063899, 2.059539,
    2.055529, 2.051831, 2.048407, 2.045230, 2.042272,
)


def t95(df):
    """Student's t quantile of 0.975 for df degrees of freedom: the table up
    to 30, beyond it the Cornish-Fisher expansion around the normal value
    (within 1e-5 of the exact quantile there)."""
    if df < 1:
        raise ValueError("t quantile for %r degrees of freedom" % df)
    if df <= len(_T95):
        return _T95[int(df) - 1]
    z = Z95
    return (z + (z ** 3 + z) / (4 * df)
            + (5 * z ** 5 + 16 * z ** 3 + 3 * z) / (96 * df ** 2)
            + (3 * z ** 7 + 19 * z ** 5 + 17 * z ** 3 - 15 * z) / (384 * df ** 3))


def wilson(k, n, z=Z95):
    """(k/n, low, high): Wilson's score interval of a proportion. (None,
    None, None) for n = 0."""
    if n <= 0:
        return (None, None, None)
    if not 0 <= k <= n:
        raise ValueError("proportion %r/%r" % (k, n))
    p = k / n
    zz = z * z
    centre = (k + zz / 2) / (n + zz)
    half = z * math.sqrt(k * (n - k) / n + zz / 4) / (n + zz)
    # At k = 0 and k = n the bound is exactly 0 or 1 (not a rounding off it).
    low = 0.0 if k == 0 else centre - half
    high = 1.0 if k == n else centre + half
    return (p, low, high)


def newcombe(k1, n1, k2, n2, z=Z95):
    """(p1 - p2, low, high): Newcombe's hybrid score interval of the
    difference of two independent proportions (his method 10)."""
    p1, l1, u1 = wilson(k1, n1, z)
    p2, l2, u2 = wilson(k2, n2, z)
    if p1 is None or p2 is None:
        return (None, None, None)
    d = p1 - p2
    low = d - math.sqrt((p1 - l1) ** 2 + (u2 - p2) ** 2)
    high = d + math.sqrt((u1 - p1) ** 2 + (p2 - l2) ** 2)
    return (d, low, high)


def mean_interval(xs):
    """(mean, low, high) of the values xs with Student's t interval; low and
    high None for fewer than two values, mean None for none."""
    xs = [float(x) for x in xs]
    n = len(xs)
    if n == 0:
        return (None, None, None)
    m = sum(xs) / n
    if n == 1:
        return (m, None, None)
    var = sum((x - m) ** 2 for x in xs) / (n - 1)
    half = t95(n - 1) * math.sqrt(var / n)
    return (m, m - half, m + half)


def paired_difference(a, b):
    """(mean of b - a, low, high, pairs): the t interval of the differences
    of paired values (a[i] and b[i] measured on the same seed). Pairs where
    either value is None are left out."""
    if len(a) != len(b):
        raise ValueError("paired samples of %d and %d values" % (len(a), len(b)))
    d = [y - x for x, y in zip(a, b) if x is not None and y is not None]
    return mean_interval(d) + (len(d),)


# ------------------------------------------------------------ formatting
def _pct(x):
    return "%.1f" % (100 * x)


def format_proportion(k, n):
    """'7/20 = 35.0 % (95 % interval 18.1–56.7 %)'."""
    p, low, high = wilson(k, n)
    if p is None:
        return "0/0 (no run)"
    return "%d/%d = %s %% (95 %% interval %s–%s %%)" % (k, n, _pct(p), _pct(low), _pct(high))


def _num(x, digits, signed):
    return ("%+.*f" if signed else "%.*f") % (digits, x)


def format_interval(est, low, high, digits=2, unit="", signed=False, n=None):
    """'1.23 m (95 % interval 0.80 to 1.66 m; n = 12)'; signed numbers
    (differences) carry their sign. 'to' rather than a dash: the bounds may
    be negative."""
    u = " " + unit if unit else ""
    count = "" if n is None else "; n = %d" % n
    if est is None:
        return "- (no value%s)" % count
    text = _num(est, digits, signed) + u
    if low is None:
        return text + " (no interval%s)" % count
    return "%s (95 %% interval %s to %s%s%s)" % (
        text, _num(low, digits, signed), _num(high, digits, signed), u, count)


def format_mean(xs, digits=2, unit=""):
    """'mean 3.00 s (95 % interval 1.04 to 4.96 s; n = 5)'."""
    return "mean " + format_interval(*mean_interval(xs), digits=digits, unit=unit, n=len(xs))


def format_difference(d, low, high):
    """A difference of proportions in percentage points:
    '+10.0 points (95 % interval -19.0 to +36.8)'."""
    if d is None:
        return "- (no run)"
    return "%s points (95 %% interval %s to %s)" % (
        _num(100 * d, 1, True), _num(100 * low, 1, True), _num(100 * high, 1, True))
