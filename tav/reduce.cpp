#include "reduce.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "astcon.h"
#include "calendar.h"
#include "frames.h"
#include "plephx.h"

namespace {

constexpr JulianDate kJ2000 = 2451545.0;
constexpr double kLightDaysPerAu = 0.00578;
constexpr double kSentinel = 100000.0;
constexpr BodyNumber kEarth = 3;
constexpr BodyNumber kSun = 11;

double deg(double a) {
  return a / ASTCON::RADDEG;
}  // degrees to radians

}  // namespace

ReductionFrame reduction_frame(double CYEAR) {
  std::int32_t year = trunc_to_i32(CYEAR), month = 1, day = 1;
  double hour = 0.0;
  ReductionFrame f;
  MYDATE(year, month, day, hour, f.JDC, 1);
  f.precess = std::fabs(f.JDC - kJ2000) > 1.0;
  return f;
}

double phase_angle(double r, double delta, double R) {
  double c = (r * r + delta * delta - R * R) / (2.0 * r * delta);
  if (c > 1.0) c = 1.0;
  if (!(c >= -0.9999)) c = -0.9999;  // also not a number
  return std::acos(c) * ASTCON::RADDEG;
}

double elongation(double r, double delta, double R) {
  double c = (R * R + delta * delta - r * r) / (2.0 * R * delta);
  if (c > 1.0) c = 1.0;
  if (c < -1.0) c = -1.0;
  return std::acos(c) * ASTCON::RADDEG;
}

double ROCK(double P) {
  const double a = P / 100.0;
  return 4.98 * a - 4.88 * a * a + 3.02 * a * a * a;
}

double GAS(double P) {
  const double a = P / 100.0;
  if (P > 163.6) return 0.98 - 1.02 * a;
  return 1.03 * a + 0.57 * a * a - 0.13 * a * a * a;
}

double magnitude(const Text<13>& PNAME, std::int32_t ICOMET, double H, double G, double r,
                 double delta, double P) {
  const double a = P / 100.0;
  const double dm = PNAME.is("Sun") ? 5.0 * std::log10(delta) : 5.0 * std::log10(r * delta);
  // Held in single precision by the Venus and Earth laws.
  const double c09 = static_cast<double>(0.09f);
  const std::string_view name = PNAME.trimmed();
  double m = 0;
  if (name == "Mercury") {
    m = dm - 0.6 + ROCK(P);
  } else if (name == "Venus") {
    m = dm - 4.4 + c09 * a + 2.39 * a * a - 0.65 * a * a * a;
  } else if (name == "Earth") {
    m = dm - 3.86 + c09 * a + 2.39 * a * a - 0.65 * a * a * a;
  } else if (name == "Mars") {
    m = dm - 1.52 + 0.016 * P;
  } else if (name == "Jupiter") {
    m = dm - 9.4 + 0.005 * P;
  } else if (name == "Saturn") {
    m = dm - 8.88 + 0.044 * P;
  } else if (name == "Uranus") {
    m = dm - 7.19;
  } else if (name == "Neptune") {
    m = dm - 6.87;
  } else if (name == "Pluto") {
    m = dm - 1.0;
  } else if (name == "Moon") {
    m = dm + 0.5962 + 0.52012 * P / 100.0 + 2.174 * a * a;
  } else if (name == "Sun") {
    m = dm - 26.74;
  } else if (name == "Solar System" || name == "Earth-Moon Ba") {
    // A barycentre listed as a major body has no brightness; the H and G
    // in OBJECT belong to an earlier object.
    m = kSentinel;
  } else if (ICOMET == 0) {
    const double beta = deg(P);
    const double t = std::tan(beta / 2.0);
    const double phi1 = std::exp(-3.33 * std::pow(t, 0.63));
    const double phi2 = std::exp(-1.87 * std::pow(t, 1.22));
    m = H + 5.0 * std::log10(r * delta) - 2.5 * std::log10((1.0 - G) * phi1 + G * phi2);
  } else {
    m = H + 5.0 * std::log10(delta) + 2.5 * G * std::log10(r);
  }
  if (P >= 170.0) m = kSentinel;
  return m;
}

void light_time(double& ra, double& dec, double ra_next, double dec_next, double delta,
                double step_days) {
  if (!(step_days != 0.0) || !std::isfinite(step_days)) return;
  double dra = ra_next - ra;
  if (dra > ASTCON::PI) dra -= 2.0 * ASTCON::PI;
  if (dra <= -ASTCON::PI) dra += 2.0 * ASTCON::PI;
  const double ddec = dec_next - dec;
  ra -= kLightDaysPerAu * delta * dra / step_days;
  dec -= kLightDaysPerAu * delta * ddec / step_days;
}

void ABERR(JulianDate TJD, double& RA, double& DEC) {
  const double T = (TJD - kJ2000) / 36525.0;
  const double M = 357.528 + 35999.05 * T;
  const double lam = 280.46 + 36000.772 * T + (1.915 - 0.0048 * T) * std::sin(deg(M)) +
                     0.02 * std::sin(deg(2.0 * M));
  const double eps = 23.439 - 0.013 * T;
  const double varpi = 282.0;
  const double ca = std::cos(RA), sa = std::sin(RA);
  const double cd = std::cos(DEC), sd = std::sin(DEC);
  const double cl = std::cos(deg(lam)), sl = std::sin(deg(lam));
  const double ce = std::cos(deg(eps)), se = std::sin(deg(eps));
  const double cw = std::cos(deg(varpi)), sw = std::sin(deg(varpi));
  const double a_ra = 20.49 * (ca * cl * ce + sa * sl) + 0.343 * (ca * cw * ce + sa * sw);
  const double a_dec = 20.49 * (cl * (se * cd - sa * sd * ce) + ca * sd * sl) +
                       0.343 * (cw * (se * cd - sa * sd * ce) + ca * sd * sw);
  // The two terms as written point away from the apex (the 20.49 term of
  // the classical formula is negative, and 282 degrees lies opposite the
  // Earth's perihelion). Added, they take the Earth's aberration out of a
  // place that holds it, as the light-time step's place does.
  RA = RA + a_ra / cd / 3600.0 / ASTCON::RADDEG;
  DEC = DEC + a_dec / 3600.0 / ASTCON::RADDEG;
}

void remove_aberration(double& RA, double& DEC, const std::array<double, 3>& V) {
  const double cd = std::cos(DEC);
  const double x = cd * std::cos(RA) + kLightDaysPerAu * V[0];
  const double y = cd * std::sin(RA) + kLightDaysPerAu * V[1];
  const double z = std::sin(DEC) + kLightDaysPerAu * V[2];
  RA = std::atan2(y, x);
  if (RA < 0.0) RA += 2.0 * ASTCON::PI;
  DEC = std::atan2(z, std::sqrt(x * x + y * y));
}

ReducedLine reduce_line(const LineInput& in, const Text<13>& PNAME, std::int32_t ICOMET, double H,
                        double G, const ReductionFrame& frame) {
  ReducedLine out;
  out.phase = phase_angle(in.r, in.delta, in.R);
  out.elongation = elongation(in.r, in.delta, in.R);
  out.magnitude = magnitude(PNAME, ICOMET, H, G, in.r, in.delta, out.phase);
  out.ra = in.ra;
  out.dec = in.dec;
  // The first difference is that of the places seen from the moving centre
  // body, so the light-time step gives the place at t - tau seen from where
  // the centre body was at t - tau: the astrometric place displaced by the
  // aberration of the centre body's velocity (v/c, to first order). The
  // next step takes that aberration out again, which leaves the
  // astrometric place: the object at t - tau seen from the observer at t.
  light_time(out.ra, out.dec, in.ra_next, in.dec_next, in.delta, in.step_days);
  if (in.ncenter == kEarth) {
    ABERR(in.tjd, out.ra, out.dec);
  } else if (in.ncenter != kSun) {
    remove_aberration(out.ra, out.dec, in.sun_velocity);
  }
  if (frame.precess) PRECESS(kJ2000, frame.JDC, out.ra, out.dec);
  return out;
}

ReducedLine reduce_entry(std::int32_t I, const ReductionFrame& frame) {
  LineInput in;
  in.tjd = POSNS.TJD(I);
  in.ra = POSNS.RA(I);
  in.dec = POSNS.DEC(I);
  in.ra_next = POSNS.RA(I + 1);
  in.dec_next = POSNS.DEC(I + 1);
  in.step_days = RUNPAR.XJINC / 24.0;
  in.r = POSNS.RHELIO(I);
  in.delta = POSNS.DELTA(I);
  in.R = POSNS.ROBS(I);
  in.ncenter = POSNS.NCENTER;
  if (in.ncenter != kEarth && in.ncenter != kSun) {
    BodyState sun{};
    if (PLEPHX(in.tjd, kSun, in.ncenter, sun) == 0) in.sun_velocity = {sun[3], sun[4], sun[5]};
  }
  const ReducedLine out = reduce_line(in, OBJECT.PNAME, OBJECT.ICOMET, OBJECT.H, OBJECT.G, frame);
  POSNS.RA(I) = out.ra;
  POSNS.DEC(I) = out.dec;
  return out;
}
