// A private X server for the tests and the benchmark, started the one way
// this project starts one (tools/xvfb.sh): a 1280x1024 screen at 24 bits,
// no TCP, on a display number it picks itself, so parallel runs never
// collide. It is stopped with its process group when this object goes.
#ifndef HOUSE_PROCESSES_X_SERVER_H
#define HOUSE_PROCESSES_X_SERVER_H

#include <memory>
#include <string>

#include "support/processes/processes.h"

class XServer {
public:
    XServer();
    const std::string& display() const { return display_; }  // e.g. ":3"

private:
    std::unique_ptr<ChildProcess> process_;
    std::string display_;
};

#endif
