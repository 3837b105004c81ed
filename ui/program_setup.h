// The settings every run of the program shares with its window tests.
#pragma once

// Settings every run of the program shares with the tests that drive its
// windows: the application title, the date format from the system locale and
// the fonts the layouts name.
void SetUpProgram();
