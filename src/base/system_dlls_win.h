// Where the program's DLLs come from. It runs elevated from a folder any process of the user
// can write, and Windows would look there first for a DLL loaded by name. The import table
// names only KnownDLLs, which always come from the system folder; every other system DLL the
// program uses is delay-loaded (cmake/delay_imports.cmake) and taken from the system folder
// alone.
#pragma once

// The first call of WinMain. Makes the system folder the only place a DLL loaded by name is
// looked for, loads from there at once each delay-loaded DLL other DLLs may ask for (a DLL already
// loaded is what any later load by that name gets, whoever asks and however it searches; none is
// then loaded while a thread has WOW64 redirection off: see wow64_win.h), and has the delay-load
// helper load the others from there at first use and log a DLL it cannot load.
void system_dlls_only();
