#include "snapshot/frame_steps.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "app/frame.h"
#include "call_readers/drawn_groups.h"
#include "export/pixel_history.h"
#include "export/scene_parts.h"
#include "recording/gl_recorder.h"
#include "tracing/gl_tap.h"
#include "tracing/routine_trace.h"
#include "viewer/scene_state.h"

namespace {

// The face emitter and its wrappers (viewer/faces.h): every drawing
// routine hands its table to them, so they say nothing of what a piece is.
const char* const kSharedHelpers[] = {"drawFaces", "drawFacesFlattened"};

struct FramePiece {
    DrawnGroup group;
    size_t part;                       // index in sceneParts()
    std::vector<std::string> routines;  // outermost first, each named once
    std::string ownRoutine, ownFile;   // the innermost that is not a shared helper
};

bool isSharedHelper(const std::string& name) {
    for (const char* helper : kSharedHelpers)
        if (name == helper) return true;
    return false;
}

// The frame after the keys, recorded rather than drawn; the tap is left
// recording, so that what follows is not drawn either, and the scene state
// as it was.
std::vector<FramePiece> framePieces(const std::vector<KeyPress>& presses) {
    const SceneState before = scene;
    scene = kInitialScene;
    tap::recordOnly();
    recorder::clear();
    recorder::countOnly(true);
    pressKeys(presses);
    recorder::countOnly(false);
    display();
    const std::vector<DrawnGroup> groups = drawnGroups(recorder::calls());
    const std::vector<std::vector<const void*>> chains = tap::pieceRoutines();
    std::vector<DrawnPart> parts = drawParts();
    const std::vector<PartGroup> named = inDrawOrder(parts);
    recorder::clear();
    scene = before;
    if (groups.size() != chains.size() || groups.size() != named.size())
        throw std::logic_error("the frame's pieces and its parts' pieces differ in number");

    std::vector<FramePiece> pieces;
    for (size_t i = 0; i < groups.size(); ++i) {
        FramePiece piece{groups[i], named[i].part, {}, "", ""};
        for (const void* routine : chains[i]) {
            std::string name = routineName(routine);
            if (name.empty()) name = "?";
            // drawFaces<5> hands on to drawFaces: one routine to a reader.
            if (piece.routines.empty() || piece.routines.back() != name) piece.routines.push_back(name);
            if (!isSharedHelper(name)) {
                piece.ownRoutine = name;
                piece.ownFile = routineFile(routine);
            }
        }
        pieces.push_back(piece);
    }
    return pieces;
}

const char* primitiveName(GLenum mode) {
    switch (mode) {
        case GL_QUADS: return "quads";
        case GL_TRIANGLES: return "triangles";
        case GL_POLYGON: return "polygon";
        default: return "other";
    }
}

size_t longestPartName() {
    size_t longest = 0;
    for (const ScenePart& part : sceneParts()) longest = std::max(longest, std::strlen(part.name));
    return longest;
}

std::string joined(const std::vector<std::string>& names) {
    std::string chain;
    for (const std::string& name : names) chain += (chain.empty() ? "" : " > ") + name;
    return chain;
}

}  // namespace

std::vector<std::string> stepLines(const std::vector<KeyPress>& presses) {
    std::vector<std::string> lines;
    const std::vector<FramePiece> pieces = framePieces(presses);
    for (size_t i = 0; i < pieces.size(); ++i) {
        const FramePiece& piece = pieces[i];
        char fields[160];
        std::snprintf(fields, sizeof fields, "%5zu  %-9s  %2zu  %s  %-*s  ", i + 1, primitiveName(piece.group.mode),
                      piece.group.vertices.size(), hexColour(piece.group.colour).c_str(), int(longestPartName()),
                      sceneParts().at(piece.part).name);
        lines.push_back(fields + joined(piece.routines) + "  " + piece.ownRoutine + " in " + piece.ownFile);
    }
    return lines;
}

long framePieceCount(const std::vector<KeyPress>& presses) { return long(framePieces(presses).size()); }

std::vector<std::string> historyLines(const std::vector<KeyPress>& presses, int width, int height, int x,
                                      int y) {
    const std::vector<FramePiece> pieces = framePieces(presses);
    std::vector<std::string> lines;
    for (const PieceAtPixel& seen : pixelHistory(presses, width, height, x, y)) {
        const FramePiece& piece = pieces.at(seen.piece);
        char fields[200];
        std::snprintf(fields, sizeof fields, "%5zu  %s  %s  %s  %s  depth %.6f  ", seen.piece + 1,
                      sceneParts().at(seen.part).name, piece.ownRoutine.c_str(), piece.ownFile.c_str(),
                      hexColour(seen.colour).c_str(), double(seen.depth));
        std::string line = fields;
        if (seen.kept)
            line += "kept";
        else if (seen.hiddenBy == kNoPiece)
            line += "hidden: beyond the far plane";
        else
            line += "hidden by " + std::to_string(seen.hiddenBy + 1);
        lines.push_back(line);
    }
    return lines;
}
