// house-bench: how fast the program draws on this machine's software GL.
//
// At the window's 500x500 and at full HD, Google Benchmark times
//   program_frame/WxH  the program's own display() on a headless context set
//                      up as main sets up its window;
//   floor/WxH          the same clear and finish with nothing drawn;
//   one_vbo/WxH        the same triangles from one vertex buffer in one draw,
//                      what a retained renderer would reach;
// and startup_to_first_swap times the real program under Xvfb. After the
// runs it prints a/b and a/c at each size, and the figures against the
// project's budgets (budgets.h), from the medians when the runs were
// repeated. It asserts nothing, and exits 1 if a benchmark could not run.
//
//   house-bench [--startup-runs=N] [--idle-seconds=S] [--size=WxH]... [Google Benchmark flags]
//
// --size=WxH adds a size to the two, such as a phone's drawing buffer.
#define GL_GLEXT_PROTOTYPES
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/frame.h"
#include "bench/budgets.h"
#include "bench/startup_probe.h"
#include "call_readers/drawn_groups.h"
#include "offscreen/offscreen.h"
#include "offscreen/windowless.h"
#include "support/build_paths.h"
#include "support/pictures/picture.h"
#include "support/processes/processes.h"
#include "viewer/opengl.h"
#include "viewer/scene_state.h"
#include "viewer/window.h"

namespace {

struct Size {
    int width, height;
};
// The window the program opens with, and a full-HD screen in full screen,
// and any --size given.
std::vector<Size> gSizes = {{kWindowWidth, kWindowHeight}, {1920, 1080}};

// "/500x500", as the benchmarks' names end.
std::string sizeName(const Size& size) {
    return "/" + std::to_string(size.width) + "x" + std::to_string(size.height);
}

// Lets llvmpipe compile its shaders and settle its threads before timing.
const int kWarmUpFrames = 10;
// x, y, z, red, green, blue of one vertex of the reference.
const int kFloatsPerVertex = 6;

// One frame of the scene as the probe (the program's main against the
// recording stand-in) lists it, taken down as world triangles.
struct RecordedFrame {
    std::vector<float> vertices;
    double groups = 0, vertexCalls = 0, colourChanges = 0;
    std::string error;
};
RecordedFrame gFrame;

std::vector<GlCall> probeCalls(const std::string& probe) {
    const CommandResult run = runCommand({probe}, "");
    if (!run.succeeded()) throw std::runtime_error(probe + " failed: " + run.err);
    std::vector<GlCall> calls;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
        calls.emplace_back();
        if (!recorder::parse(line, calls.back()))
            throw std::runtime_error("unreadable line from " + probe + ": " + line);
    }
    return calls;
}

RecordedFrame recordFrame(const std::string& probe) {
    RecordedFrame frame;
    std::vector<GlCall> calls;
    std::vector<DrawnGroup> groups;
    try {
        calls = probeCalls(probe);
        groups = drawnGroups(calls);
    } catch (const std::exception& e) {
        frame.error = e.what();
    }
    for (const DrawnGroup& group : groups) {
        ++frame.groups;
        frame.vertexCalls += group.vertices.size();
        for (const Vec3& v : fanTriangles(group))
            frame.vertices.insert(frame.vertices.end(),
                                  {float(v.x), float(v.y), float(v.z), group.colour.red,
                                   group.colour.green, group.colour.blue});
    }
    for (const GlCall& call : calls) frame.colourChanges += call.fn == GlFn::Color3f;
    return frame;
}

// The headless context of the size last asked for, with the program's
// start-up state and the recorded frame in a vertex buffer.
Size gOpenSize = {0, 0};
GLuint gReferenceBuffer = 0;

bool openAt(const Size& size, benchmark::State& state) {
    if (gOpenSize.width == size.width && gOpenSize.height == size.height) return true;
    gOpenSize = {0, 0};
    char error[256];
    if (!gFrame.error.empty() || !openOffscreen(size.width, size.height, error, sizeof error)) {
        state.SkipWithError(gFrame.error.empty() ? error : gFrame.error.c_str());
        return false;
    }
    startProgramFrames(size.width, size.height);
    glGenBuffers(1, &gReferenceBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, gReferenceBuffer);
    glBufferData(GL_ARRAY_BUFFER, gFrame.vertices.size() * sizeof(float), gFrame.vertices.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    gOpenSize = size;
    return true;
}

// (b): what every frame pays before it draws anything.
void drawFloor() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
}

// (c): the same clear, camera and finish around one draw of the whole scene
// from a buffer on the GL side.
void drawReference() {
    const GLsizei stride = kFloatsPerVertex * sizeof(float);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(scene.eyeX, scene.eyeY, scene.eyeZ, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glBindBuffer(GL_ARRAY_BUFFER, gReferenceBuffer);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, nullptr);
    glColorPointer(3, GL_FLOAT, stride, reinterpret_cast<const void*>(3 * sizeof(float)));
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(gFrame.vertices.size() / kFloatsPerVertex));
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glutSwapBuffers();
}

// Pixels where the reference's picture differs from the program's by more
// than a rounding: another surface there, not the same colour rounded the
// other way.
Picture framePicture(const Size& size, void (*frame)()) {
    std::vector<unsigned char> rgb(size_t(size.width) * size.height * 3);
    frame();
    readOffscreenRGB(rgb.data());
    return Picture(size.width, size.height, std::move(rgb));
}

double pixelsTheReferenceGetsWrong(const Size& size) {
    return compare(framePicture(size, display), framePicture(size, drawReference), kRoundingSteps)
        .pixels;
}

void timeFrames(benchmark::State& state, Size size, void (*frame)()) {
    if (!openAt(size, state)) return;
    for (int i = 0; i < kWarmUpFrames; ++i) frame();
    for (auto _ : state) frame();
    state.counters["pixels"] = double(size.width) * size.height;
    if (frame == display) {
        state.counters["groups"] = gFrame.groups;
        state.counters["vertices"] = gFrame.vertexCalls;
        state.counters["colour_changes"] = gFrame.colourChanges;
    } else if (frame == drawReference) {
        state.counters["triangles"] = gFrame.vertices.size() / kFloatsPerVertex / 3;
        state.counters["wrong_pixels"] = pixelsTheReferenceGetsWrong(size);
    }
}

void registerFrameBenchmarks() {
    const std::pair<const char*, void (*)()> kinds[] = {
        {"program_frame", display}, {"floor", drawFloor}, {"one_vbo", drawReference}};
    for (const Size& size : gSizes)
        for (const auto& [kind, frame] : kinds) {
            const std::string name = kind + sizeName(size);
            // Reported in wall-clock time, which counts llvmpipe's own threads.
            benchmark::RegisterBenchmark(name.c_str(), timeFrames, size, frame)
                ->Unit(benchmark::kMillisecond);
        }
}

// Hands every result on to the reporter the flags ask for, and prints a/b and
// a/c after it (on stderr when the results are JSON, to keep them whole).
class RatioReporter : public benchmark::BenchmarkReporter {
public:
    explicit RatioReporter(BenchmarkReporter* inner) : inner_(inner) {}
    bool failed() const { return failed_; }

    bool ReportContext(const Context& context) override { return inner_->ReportContext(context); }

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            failed_ = failed_ || run.error_occurred;
            if (run.run_type != Run::RT_Iteration && run.aggregate_name != "median") continue;
            milliseconds_[run.run_name.function_name] = run.GetAdjustedRealTime();
            const auto idle = run.counters.find("idle_cpu_ms");
            if (idle != run.counters.end()) idleCpuMs_ = idle->second;
        }
        inner_->ReportRuns(runs);
    }

    void Finalize() override {
        inner_->Finalize();
        const bool json = dynamic_cast<benchmark::JSONReporter*>(inner_) != nullptr;
        std::ostream& out = json ? GetErrorStream() : GetOutputStream();
        for (const Size& size : gSizes) {
            const std::string at = sizeName(size);
            const double a = milliseconds_["program_frame" + at];
            const double b = milliseconds_["floor" + at], c = milliseconds_["one_vbo" + at];
            if (a > 0 && b > 0 && c > 0)
                out << at.substr(1) << ": a/b " << a / b << ", a/c " << a / c << "\n";
        }
        printBudgets(out);
    }

private:
    void printBudgets(std::ostream& out) {
        const auto line = [&out](const char* budget, double figure, double limit, bool met) {
            out << "budget, " << budget << " " << limit << " ms: " << figure << " ms, "
                << (met ? "met" : "over") << "\n";
        };
        const double fullHd = milliseconds_["program_frame/1920x1080"];
        if (fullHd > 0) line("full-HD frame under", fullHd, kFullHdFrameBudgetMs, fullHd < kFullHdFrameBudgetMs);
        const double startup = milliseconds_["startup_to_first_swap"];
        if (startup <= 0) return;
        line("start-up under", startup, kStartupBudgetMs, startup < kStartupBudgetMs);
        line("idle CPU", idleCpuMs_, kIdleCpuBudgetMs, idleCpuMs_ <= kIdleCpuBudgetMs);
    }

    BenchmarkReporter* inner_;
    std::map<std::string, double> milliseconds_;
    double idleCpuMs_ = 0;
    bool failed_ = false;
};

// --startup-runs=N (0 leaves it out), --idle-seconds=S and --size=WxH.
bool parseOptions(int argc, char** argv, StartupSetup& setup) {
    for (int i = 1; i < argc; ++i) {
        Size size{};
        char after = 0;
        if (std::sscanf(argv[i], "--size=%dx%d%c", &size.width, &size.height, &after) == 2) {
            if (size.width < 1 || size.height < 1) return false;
            gSizes.push_back(size);
        } else if (std::strncmp(argv[i], "--startup-runs=", 15) == 0) {
            setup.runs = std::atoi(argv[i] + 15);
        } else if (std::strncmp(argv[i], "--idle-seconds=", 15) == 0) {
            setup.idleSeconds = std::atof(argv[i] + 15);
        } else {
            return false;
        }
    }
    return setup.runs >= 0 && setup.idleSeconds > 0 && setup.idleSeconds <= 60;
}

// Names the GL the frames are drawn with beside the machine's figures.
void describeTheGl() {
    char error[256];
    if (!openOffscreen(1, 1, error, sizeof error)) return;
    for (const auto& [key, name] : {std::pair<const char*, GLenum>{"gl_renderer", GL_RENDERER},
                                    {"gl_version", GL_VERSION}})
        benchmark::AddCustomContext(key, reinterpret_cast<const char*>(glGetString(name)));
    closeOffscreen();
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    StartupSetup startup{kHouseProgram, kBenchShim, 5, 1.0};
    if (!parseOptions(argc, argv, startup)) {
        std::fprintf(stderr, "usage: house-bench [--startup-runs=N] [--idle-seconds=S] [--size=WxH]... "
                             "[--benchmark_...]\n");
        return 2;
    }
    describeTheGl();
    gFrame = recordFrame(kProbeProgram);
    registerFrameBenchmarks();
    if (startup.runs > 0) registerStartupBenchmark(startup);
    RatioReporter reporter(benchmark::CreateDefaultDisplayReporter());
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.failed() ? 1 : 0;
}
