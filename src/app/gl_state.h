// The GL state the program sets once, before its first frame: the depth
// test and the sky as the clear colour. main sets it on its window's
// context; the tools that draw without a window set it on theirs.
#ifndef HOUSE_APP_GL_STATE_H
#define HOUSE_APP_GL_STATE_H

void setFixedGlState();

#endif
