#include "jplread.h"

void close_ephemeris_file() {}
