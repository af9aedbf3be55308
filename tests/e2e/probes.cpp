#include "e2e/probes.h"

namespace e2e {

namespace {

testing::AssertionResult checkPixel(const Picture& picture, const Camera& camera,
                                    const Probe& probe, bool wanted) {
    const ScreenPoint at = project(camera, picture.width(), picture.height(), probe.point);
    const int column = at.pixelColumn(), row = at.pixelRow();
    if (!at.visible || !picture.contains(column, row))
        return testing::AssertionFailure()
               << probe.name << " projects outside the window, to (" << at.column << ", "
               << at.row << ")";
    const Pixel seen = picture.at(column, row);
    if (near(seen, probe.colour, kCaptureSteps) == wanted)
        return testing::AssertionSuccess() << probe.name << " at pixel (" << column << ", " << row
                                           << ") shows " << seen;
    return testing::AssertionFailure()
           << probe.name << " at pixel (" << column << ", " << row << ") shows " << seen
           << (wanted ? ", expected " : ", which it should not: ") << probe.colour;
}

}  // namespace

testing::AssertionResult showsColour(const Picture& picture, const Camera& camera,
                                     const Probe& probe) {
    return checkPixel(picture, camera, probe, true);
}

testing::AssertionResult lacksColour(const Picture& picture, const Camera& camera,
                                     const Probe& probe) {
    return checkPixel(picture, camera, probe, false);
}

std::vector<Probe> houseFrontProbes() {
    return {
        {"front door", kFrontDoor, kDoor},
        {"garage door", kGarageDoor, kDoor},
        {"front wall beside the window", kFrontWallEast, kWall},
        {"front wall under the window", kFrontWallUnderWindow, kWall},
    };
}

testing::AssertionResult showsHouseFront(const Picture& picture, const Camera& camera) {
    for (const Probe& probe : houseFrontProbes()) {
        testing::AssertionResult shown = showsColour(picture, camera, probe);
        if (!shown) return shown;
    }
    const int right = picture.width() - 3;
    for (const int column : {2, right})
        if (!near(picture.at(column, 2), kSky, kCaptureSteps))
            return testing::AssertionFailure() << "top corner pixel (" << column
                                               << ", 2) shows " << picture.at(column, 2)
                                               << ", expected the sky " << kSky;
    return testing::AssertionSuccess();
}

}  // namespace e2e
