#include "records.h"

void reset_records() {
  RUNPAR = {};
  OBSERV = {};
  PERTRB = {};
  PLNSRC = {};
  INTEG = {};
  JPLNAM = {};
  FILES = {};
  DATES = {};
  POSNS = {};
  OBJECT = {};
  JPLTXT = {};
  JPLHDR = {};
  JPLOPT = {};
}
