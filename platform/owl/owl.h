// The framework, all of it.
#pragma once

#include "api/winapi.h"
#include "owl/applicat.h"
#include "owl/dc.h"
#include "owl/dialog.h"
#include "owl/eventhandler.h"
#include "owl/except.h"
#include "owl/framewin.h"
#include "owl/gdiobjec.h"
#include "owl/geometry.h"
#include "owl/module.h"
#include "owl/profile.h"
#include "owl/window.h"

// The application main function, which the program defines; the entry
// function calls it with the runtime's argument count and vector.
int AppMain(int argc, char* argv[]);

// The runtime's argument count and vector.
int RuntimeArgc();
char** RuntimeArgv();

// The runtime library's calendar time and pseudo-random numbers.
// CalendarTime: seconds since 1970. NextRandom: 0 to 32767, from the
// sequence SeedRandom started (the C library's rand and srand).
long long CalendarTime();
void SeedRandom(unsigned seed);
int NextRandom();
