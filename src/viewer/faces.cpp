#include "viewer/faces.h"

void setColour(const Rgb& colour) { glColor3f(colour.red, colour.green, colour.blue); }

void drawFaces(const Face* faces, int count, double originX, double originY, double originZ,
               double yScale) {
    for (int f = 0; f < count; ++f) {
        const Face& face = faces[f];
        if (face.colour != nullptr) setColour(*face.colour);
        glBegin(face.mode);
        for (int v = 0; v < face.count; ++v) {
            const double* p = face.vertex[v];
            glVertex3f(static_cast<float>(originX + p[0]),
                       static_cast<float>(originY + p[1] * yScale),
                       static_cast<float>(originZ + p[2]));
        }
        glEnd();
    }
}
