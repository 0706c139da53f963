#include "scene/shuffle.h"

#include <vector>

#include "framework/framework.h"

void ShuffleOrder(int* order, unsigned count)
{
    std::vector<bool> taken(count, false);
    for (unsigned i = 0; i < count; ++i) {
        unsigned n = static_cast<unsigned>(NextRandom()) % (count - i);
        unsigned slot = 0;
        while (taken[slot])
            ++slot;
        for (; n > 0; --n) {
            ++slot;
            while (taken[slot])
                ++slot;
        }
        taken[slot] = true;
        order[i] = static_cast<int>(slot);
    }
}
