// Calendar dates with hours of the day and Julian dates.
//
// Calendar to Julian date counts in the proleptic Gregorian calendar; Julian
// date to calendar (as MYDATE asks for it) gives Julian-calendar dates before
// JD 2299160.5 (1582 October 15, 0 h) and Gregorian dates from it on.
// Integer divisions truncate toward zero.
#pragma once

#include <cstdint>

#include "types.h"

// Mode 1: year, month, day and hour (with fraction) in, Julian date out.
// Any other mode: Julian date in, year, month, day and hour out.
void MYDATE(std::int32_t& year, std::int32_t& month, std::int32_t& day, double& hour,
            JulianDate& jd, std::int32_t mode);

// Packed calendar date and time (Gregorian) to Julian date.
void CTOJ(const PackedDateTime& packed, JulianDate& jd);

// Julian date to calendar fields. mode < 0: Julian calendar; 0: Julian before
// 2299160.5, Gregorian from it on; > 0: Gregorian.
void JTOC(JulianDate jd, CalendarFields& fields, std::int32_t mode);

// A second conversion with MYDATE's interface, by the method of Meeus.
void MYDATEJR(std::int32_t& year, std::int32_t& month, std::int32_t& day, double& hour,
              JulianDate& jd, std::int32_t mode);

// The local time of day in seconds since midnight, to the hundredth.
double SECONDS();

// The local clock that SECONDS reads; tests may put another in its place.
struct LocalTime {
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};
using LocalClock = LocalTime (*)();
void set_local_clock(LocalClock clock);  // nullptr: the system's clock again

// Lets time pass before the local clock is read again, for a wait measured on
// it: the thread sleeps a hundredth of a second (the step of SECONDS), so the
// wait costs no processor time. With another clock in place no time passes
// here: such a clock moves on at each reading by itself.
void wait_for_local_clock();
