// A module: an instance handle and the named resources it holds.
#pragma once

#include <string>

#include "system_api.h"

class TModule {
public:
    // name may be null: an unnamed module.
    TModule(const char* name, HINSTANCE instance);
    virtual ~TModule();
    TModule(const TModule&) = delete;
    TModule& operator=(const TModule&) = delete;

    HINSTANCE GetHandle() const { return Handle; }
    const std::string& GetName() const { return Name; }

protected:
    std::string Name;
    HINSTANCE Handle;
};

// The framework's global module pointer: the module windows and dialogs use
// when they are given none. The entry function fills it at start-up; an
// application points it at itself for its lifetime.
extern TModule* GlobalModule;
