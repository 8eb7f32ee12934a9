#include "listing.h"

// Placeholder until the listing is built.
void RADEC(const Text<32>&) {}
