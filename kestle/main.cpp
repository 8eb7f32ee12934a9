#include "kestle.h"
#include "stop.h"

int main() {
  return run_program(KESTLE);
}
