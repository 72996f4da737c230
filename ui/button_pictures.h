// The tool bar's pictures: loaded from the resources, drawn at the size of
// the screen, each centred on a transparent canvas as large as its button,
// with a disabled look for each.
#pragma once

#include <windows.h>

#include <initializer_list>

#include "ui/win32_util.h"

namespace quorvel::ui {

struct ButtonPictures {
    ImageList normal;
    ImageList disabled;
};

// One image per resource, in the order given. A resource 32 pixels wide
// holds the normal picture and then its disabled one; one 16 pixels wide
// is greyed for its disabled look. The bottom-left pixel's colour is
// transparent. `pictureSize` is the drawn size of a 16-pixel picture.
ButtonPictures LoadButtonPictures(HINSTANCE instance, std::initializer_list<int> resources, int pictureSize,
                                  SIZE canvas);

}  // namespace quorvel::ui
