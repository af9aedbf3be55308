// Start-up: the program's real main, linked against the recording stand-in
// and run as a child process, so it can be given any argument vector.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/processes/processes.h"
#include "viewer/opengl.h"
#include "viewer/window.h"

namespace {

struct ProbeRun {
    int status;
    std::vector<std::string> lines;
};

// Runs the probe with exactly the given argument vector (which may be
// empty) and an empty environment.
ProbeRun runProbe(const std::vector<std::string>& argv) {
    ChildProcess probe(HOUSE_PROBE, argv, {});
    ProbeRun run{probe.waitForExit(30), {}};
    const std::string text = probe.standardOutput();
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        run.lines.push_back(text.substr(start, end - start));
    return run;
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
    const ProbeRun run = runProbe({"/opt/somewhere/house", "-sync"});
    ASSERT_TRUE(WIFEXITED(run.status));
    EXPECT_EQ(WEXITSTATUS(run.status), 0);  // main returns 0 if the loop ever returns
    const std::vector<std::string> expected =
        expectedStart("2", "/opt/somewhere/house", "/opt/somewhere/house");
    ASSERT_GE(run.lines.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(run.lines.begin(), run.lines.begin() + expected.size()), expected);
    EXPECT_EQ(run.lines.back(), "glutSwapBuffers()");

    // The first frame sees the state as loaded: the eye at its starting
    // place, and the shut drive leaves reaching 25 from their hinges, to
    // x = -53 and -55, overlapping by 2.
    int lookAts = 0, leafEnds = 0;
    for (const std::string& line : run.lines) {
        lookAts += line == "gluLookAt(0, 10, -200, 0, 0, 0, 0, 1, 0)";
        leafEnds += line == "glVertex3f(-53, 2, -119)" || line == "glVertex3f(-55, 2, -119)";
    }
    EXPECT_EQ(lookAts, 1);
    EXPECT_EQ(leafEnds, 2);
}

TEST(Startup, EmptyArgumentVectorGivesAnEmptyProvisionalTitle) {
    const ProbeRun run = runProbe({});
    ASSERT_TRUE(WIFEXITED(run.status));
    EXPECT_EQ(WEXITSTATUS(run.status), 0);
    // Recent Linux kernels hand a program started with no arguments a single
    // empty one; older ones and other systems pass argc 0 and no entry.
    const std::vector<std::string> expected = expectedStart("0", "<none>", "");
    ASSERT_GE(run.lines.size(), expected.size());
    EXPECT_TRUE(run.lines[0] == expected[0] || run.lines[0] == "glutInit(1, \"\")") << run.lines[0];
    EXPECT_EQ(std::vector<std::string>(run.lines.begin() + 1, run.lines.begin() + expected.size()),
              std::vector<std::string>(expected.begin() + 1, expected.end()));
}

}  // namespace
