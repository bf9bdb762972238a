#pragma once

// The OpenGL ES 2.0 API and its extension names, for code that draws with GL.
// The platform chooses the binding (Mesa's GLES 2 library here); everything
// outside src/platform includes GL through this header.
#include <GLES2/gl2.h>
#include <GLES2/gl2ext.h>
