// Start-up: the program's real main, linked against the recording stand-in
// and run as a child process, so it can be given any argument vector.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/build_paths.h"
#include "support/processes/processes.h"
#include "viewer/opengl.h"
#include "viewer/window.h"

namespace {

// The probe, which prints the calls one a line, run with exactly the given
// argument vector (which may be empty) and an empty environment.
CommandResult runProbe(const std::vector<std::string>& argv) {
    return runProgram(kProbeProgram, argv, {});
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> found;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        found.push_back(text.substr(start, end - start));
    return found;
}

std::string number(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::vector<std::string> expectedStart(const std::string& argc, const std::string& argv0,
                                       const std::string& title) {
    return {
        "glutInit(" + argc + ", \"" + argv0 + "\")",
        "glutInitDisplayMode(18)",
        "glutInitWindowSize(500, 500)",
        "glutInitWindowPosition(100, 100)",
        "glutCreateWindow(\"" + title + "\")",
        "glutSetWindowTitle(\"" + std::string(kWindowTitle) + "\")",
        "glEnable(" + std::to_string(GL_DEPTH_TEST) + ")",
        "glClearColor(" + number(0.2f) + ", " + number(0.8f) + ", 1, 0)",
        "glutReshapeFunc()",
        "glutKeyboardFunc()",
        "glutSpecialFunc()",
        "glutDisplayFunc()",
        "glutMainLoop()",
        // What the event loop then delivers: a reshape, then the first frame.
        "glViewport(0, 0, 500, 500)",
    };
}

TEST(Startup, OpensTheWindowInOrderAndHandsOverToGlut) {
    const CommandResult run = runProbe({"/opt/somewhere/house", "-sync"});
    EXPECT_EQ(run.exitStatus(), 0);  // main returns 0 if the loop ever returns
    const std::vector<std::string> calls = lines(run.out);
    const std::vector<std::string> expected =
        expectedStart("2", "/opt/somewhere/house", "/opt/somewhere/house");
    ASSERT_GE(calls.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + expected.size()), expected);
    EXPECT_EQ(calls.back(), "glutSwapBuffers()");

    // The first frame sees the state as loaded: the eye at its starting
    // place, and the shut drive leaves reaching 25 from their hinges, to
    // x = -53 and -55, overlapping by 2.
    int lookAts = 0, leafEnds = 0;
    for (const std::string& line : calls) {
        lookAts += line == "gluLookAt(0, 10, -200, 0, 0, 0, 0, 1, 0)";
        leafEnds += line == "glVertex3f(-53, 2, -119)" || line == "glVertex3f(-55, 2, -119)";
    }
    EXPECT_EQ(lookAts, 1);
    EXPECT_EQ(leafEnds, 2);
}

TEST(Startup, EmptyArgumentVectorGivesAnEmptyProvisionalTitle) {
    const CommandResult run = runProbe({});
    EXPECT_EQ(run.exitStatus(), 0);
    const std::vector<std::string> calls = lines(run.out);
    // Recent Linux kernels hand a program started with no arguments a single
    // empty one; older ones and other systems pass argc 0 and no entry.
    const std::vector<std::string> expected = expectedStart("0", "<none>", "");
    ASSERT_GE(calls.size(), expected.size());
    EXPECT_TRUE(calls[0] == expected[0] || calls[0] == "glutInit(1, \"\")") << calls[0];
    EXPECT_EQ(std::vector<std::string>(calls.begin() + 1, calls.begin() + expected.size()),
              std::vector<std::string>(expected.begin() + 1, expected.end()));
}

}  // namespace
