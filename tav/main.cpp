#include "stop.h"
#include "tav.h"

int main() {
  return run_program(TAV);
}
