// ShuffleOrder: a random permutation of 0 .. count-1, built by repeatedly
// taking the n-th free slot. It draws exactly count numbers from the
// runtime's generator.
#pragma once

void ShuffleOrder(int* order, unsigned count);
