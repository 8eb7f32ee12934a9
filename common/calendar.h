// Calendar dates with hours of the day and Julian dates.
//
// Calendar to Julian date counts in the proleptic Gregorian calendar; Julian
// date to calendar (as MYDATE asks for it) gives Julian-calendar dates before
// JD 2299160.5 (1582 October 15, 0 h) and Gregorian dates from it on.
// Integer divisions truncate toward zero.
#pragma once

#include <cstdint>
#include <string_view>

#include "types.h"

// Mode 1: year, month, day and hour (with fraction) in, Julian date out.
// Any other mode: Julian date in, year, month, day and hour out.
// In mode 1 a day beyond the month carries into the months after it, and a
// day of 0 or below into the months before, as almanacs count: 2025 January
// 0 is 2024 December 31, January -1 December 30. Days 1 to 100 are CTOJ's
// own result (its date word holds the day in two digits).
void MYDATE(std::int32_t& year, std::int32_t& month, std::int32_t& day, double& hour,
            JulianDate& jd, std::int32_t mode);

// Packed calendar date and time (Gregorian) to Julian date.
void CTOJ(const PackedDateTime& packed, JulianDate& jd);

// Julian date to calendar fields. mode < 0: Julian calendar; 0: Julian before
// 2299160.5, Gregorian from it on; > 0: Gregorian.
void JTOC(JulianDate jd, CalendarFields& fields, std::int32_t mode);

// A calendar date and hour of the day to the Julian date, read in the
// calendar that MYDATE's other mode gives dates back in: the Julian calendar
// before 1582 October 15, the Gregorian from it on (there MYDATE's mode 1
// to the bit). A date so read comes back from MYDATE as it was given. The
// date word year x 10000 + month x 100 + day chooses the calendar (below
// 15821015 the Julian), so that days and months beyond their ranges carry
// as in CTOJ within the calendar of the date as given; a day of 0 or below
// (or above 100) is counted from the first of its month as in MYDATE, in
// the calendar of that first: 1582 October 0 is the Julian September 30,
// November 0 the Gregorian October 31, January 0 of the year 1 December 31
// of the year 0, and January 0 of the year 0 December 31 of the year -1.
// The hour is packed as MYDATE packs it. For years from 0 on (and the BC
// form of CTOJ).
JulianDate calendar_to_jd(std::int32_t year, std::int32_t month, std::int32_t day, double hour);

// True for 1582 October 5 to 14, the days that lie in neither calendar of
// MYDATE (October 15 follows October 4); calendar_to_jd reads them in the
// Julian calendar, and MYDATE gives them back as October 15 to 24.
bool skipped_by_the_calendar(std::int32_t year, std::int32_t month, std::int32_t day);

// What tav and kestle answer to such a day before they ask for it again.
inline constexpr std::string_view kSkippedDaysMessage =
    "No such day: 1582 Oct 4 is followed by Oct 15, please re-enter";

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
