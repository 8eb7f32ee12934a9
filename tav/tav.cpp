#include "tav.h"

#include "de405_masses.h"
#include "grid.h"
#include "jplread.h"
#include "listing.h"
#include "outfiles.h"
#include "params.h"
#include "records.h"
#include "source.h"
#include "textio.h"

EphemState& ephem_state() {
  static EphemState state;
  return state;
}

void EPHEM() {
  EphemState& s = ephem_state();

  // Phase 1, first ephemeris of the run only: masses, initialization file.
  if (!s.first_call_done) {
    load_de405_masses();
    initialization_menu(s);
  }

  for (;;) {
    // Phase 2: display, changes and tests of the run parameters.
    parameter_dialogue(s);

    // Phase 3: the times of the listing.
    s.JD0 = build_listing_grid(s.first, RUNPAR.ET, RUNPAR.XJINC, RUNPAR.NPOS, s.FORM);

    // Phases 4 to 7: the element source, the state at the epoch and the
    // propagation by METHOD, for the lines that the grid holds when its
    // dates left the years a listing prints. Major planets under mean
    // planets are refused: the MPC interval goes back into days and the
    // dialogue starts again.
    SourceOutcome outcome;
    {
      const NposHeldToGrid held;
      outcome = fill_positions(s);
    }
    if (outcome == SourceOutcome::Filled) break;
    interval_back_to_days(s);
  }

  // The printed listing.
  RADEC(s.FORM);

  // Phase 8: the MPC interval back into days for the next display.
  interval_back_to_days(s);
  // The element file of this ephemeris is no longer being read.
  s.ELEFILE = "";
}

void TAV() {
  for (;;) {
    ask_capture_file(ephem_state());
    EPHEM();
    say({"Do you want to do another ephemeris? (y or n)"});
    Text<1> answer;
    ask_text(answer);
    if (answer[0] != 'y' && answer[0] != 'Y') break;
  }
  close_ephemeris_file();
}
