#include "framework/module.h"

TModule* GlobalModule = nullptr;

TModule::TModule(const char* name, HINSTANCE instance) : Name(name ? name : ""), Handle(instance) {}

TModule::~TModule() = default;
