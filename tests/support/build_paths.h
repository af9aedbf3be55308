#ifndef HOUSE_TESTS_SUPPORT_BUILD_PATHS_H
#define HOUSE_TESTS_SUPPORT_BUILD_PATHS_H

// Where this build put what the tests run. Each test program or library
// defines those it uses in a small file the build writes for it
// (house_build_paths, tests/support/build_paths.cmake): the tests' own
// files then compile alike in every clone and come out of the compiler
// cache, where a path compiled into each of them would make every one new.
extern const char kHouseProgram[];
extern const char kProbeProgram[];
extern const char kSnapshotProgram[];
extern const char kExportProgram[];
extern const char kWindowsProgram[];
extern const char kBenchShim[];
extern const char kXvfbScript[];
extern const char kKeySequencesFile[];

#endif
