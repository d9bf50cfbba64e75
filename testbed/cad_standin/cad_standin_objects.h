#pragma once
// The automation objects of the stand-in CAD program.
#include <oaidl.h>

namespace standin {

// Loads the type library embedded in the executable; false when it is missing or broken.
bool LoadTypeLibrary();

// The application object, with one reference for the caller.
IDispatch* NewApplicationObject();

}  // namespace standin
