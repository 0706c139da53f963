// The runtime library's pseudo-random numbers: the C library's srand and
// rand, written once so that a seed gives the same sequence (and so the
// same slideshow order) on every platform.
#pragma once

// Starts the sequence anew from seed.
void SeedRandom(unsigned seed);
// The next number of the sequence, 0 to 32767.
int NextRandom();
