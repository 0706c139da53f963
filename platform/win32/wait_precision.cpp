// The system timer ticks every 15.6 ms unless asked otherwise; the message
// loop's 1 ms waits need 1 ms ticks while the saver runs.
#include "framework/wait_precision.h"

#include "api/winapi.h"
#include <mmsystem.h>

TWaitPrecision::TWaitPrecision()
{
    timeBeginPeriod(1);
}

TWaitPrecision::~TWaitPrecision()
{
    // Harmless should the request have been refused.
    timeEndPeriod(1);
}
