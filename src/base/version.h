#pragma once
// The version the programs show: the window's title and tesnova-cli --version. The version
// resource of the Windows programs (src/win32/tesnova.rc) repeats it in the numbers it needs.
#define TESNOVA_VERSION "2026.01.13"
