// house-snapshot's picture of a view, to hold a real window's against.
#ifndef HOUSE_TESTS_E2E_SNAPSHOT_PICTURE_H
#define HOUSE_TESTS_E2E_SNAPSHOT_PICTURE_H

#include <string>
#include <vector>

#include "support/pictures/picture.h"
#include "support/processes/scratch_directory.h"

namespace e2e {

// A window and the snapshot draw with the same software rasteriser: beyond
// a rounding step a channel (kCaptureSteps), fewer pixels than this differ,
// along a few edges.
const long kSnapshotEdgePixels = 250;

// Runs house-snapshot with the given options, writing NAME in the scratch
// folder, and reads the picture back; throws with its message if it fails.
Picture snapshotPicture(ScratchDirectory& scratch, const std::string& name,
                        const std::vector<std::string>& options);

}  // namespace e2e

#endif
