// Preloaded into the real program by house-bench to see its frames from the
// inside, without changing it: glutSwapBuffers runs the real one (found
// with dlsym(RTLD_NEXT)) and then writes a line to the descriptor named in
// HOUSE_BENCH_SWAP_FD. The benchmark times the first line from fork and
// counts the later ones while the program should be idle.
//
// Without HOUSE_BENCH_SWAP_FD the wrapper only passes the call on.
#include <GL/glut.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>

void glutSwapBuffers() {
    static const auto next = reinterpret_cast<void (*)()>(dlsym(RTLD_NEXT, "glutSwapBuffers"));
    static const char* const fd = std::getenv("HOUSE_BENCH_SWAP_FD");
    if (next != nullptr) next();
    if (fd == nullptr) return;
    const ssize_t written = write(std::atoi(fd), "swap\n", 5);
    (void)written;  // a full pipe only costs the benchmark a count
}
