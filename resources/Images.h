#pragma once

// The program's images as PNG bytes, built into the program from images/ (see CMakeLists.txt).

#include "framework/core/ResourceTypes.h"

extern const ImageBytes kToolbarPng;    // images/toolbar.png: the toolbar's strip of buttons
extern const ImageBytes kToolbar2xPng;  // images/toolbar@2x.png: the same at twice the size
extern const ImageBytes kTessiverPng;   // images/tessiver.png: the program's icon
