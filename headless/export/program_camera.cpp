#include "export/program_camera.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "app/frame.h"
#include "recording/gl_recorder.h"

namespace {

const GlCall& firstCall(GlFn fn) {
    for (const GlCall& call : recorder::calls())
        if (call.fn == fn) return call;
    throw std::logic_error(std::string("the program made no call of ") + recorder::name(fn));
}

}  // namespace

ProgramCamera programCamera(int width, int height) {
    recorder::clear();
    reshape(width, height);
    display();
    const std::vector<double>& look = firstCall(GlFn::LookAt).args;
    const std::vector<double>& lens = firstCall(GlFn::Perspective).args;
    ProgramCamera camera{{look[0], look[1], look[2]}, {look[3], look[4], look[5]},
                         {look[6], look[7], look[8]}, lens[0], lens[1], lens[2], lens[3]};
    recorder::clear();
    return camera;
}
