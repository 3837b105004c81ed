// When windows were shown, printed for the window benchmark.
#pragma once

// For the window benchmark: when the environment names VIVEZE_SHOWN_STAMPS,
// every top-level window, once its first paint has reached the display
// server, prints "shown <class> <steady-clock nanoseconds>" on standard
// output. The harness compares these with the times it started the program
// or sent a key. Otherwise nothing is installed.
void InstallShownStampsIfAsked();
