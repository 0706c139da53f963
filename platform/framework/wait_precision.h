// Short waits as short as asked for, for the life of the object: the message
// loop's millisecond sleeps between idle calls rely on it.
#pragma once

class TWaitPrecision {
public:
    TWaitPrecision();
    ~TWaitPrecision();
    TWaitPrecision(const TWaitPrecision&) = delete;
    TWaitPrecision& operator=(const TWaitPrecision&) = delete;
};
