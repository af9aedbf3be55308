// The program's routines as they run, for house-snapshot's steps and pixel
// histories: which routines were running when a piece was drawn, by name,
// with the file under src/ that defines each.
//
// house-snapshot's copy of the scene is compiled with
// -finstrument-functions, so every routine of the program calls the hooks
// here as it starts and ends, inlined or not: the chain is recorded as the
// program runs, never kept in a table. Names are the program's own symbols
// (the tool exports them, so they survive stripping); the file of each is
// what the build saw compile it (routine_files.cmake).
#ifndef HOUSE_TRACING_ROUTINE_TRACE_H
#define HOUSE_TRACING_ROUTINE_TRACE_H

#include <string>
#include <vector>

// The routines running now, outermost first: their entry addresses.
std::vector<const void*> runningRoutines();

// A routine's name as written in the source, without its arguments or
// template arguments ("drawFaces" for drawFaces<5>), or "" where the
// program does not export it (a routine of internal linkage).
std::string routineName(const void* routine);

// The file under src/ that defines it ("src/grounds/fence.cpp"), or "".
std::string routineFile(const void* routine);

#endif
