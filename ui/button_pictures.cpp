#include "ui/button_pictures.h"

#include <commctrl.h>

namespace quorvel::ui {

namespace {

constexpr int kPictureSize = 16;  // of the pictures in the resources

// The colour of a picture's bottom-left pixel, its transparent colour.
COLORREF BottomLeftColour(HBITMAP bitmap)
{
    BITMAP info;
    GetObject(bitmap, sizeof info, &info);
    MemoryDC dc(CreateCompatibleDC(nullptr));
    SelectedObject selected(dc.Get(), bitmap);
    return GetPixel(dc.Get(), 0, info.bmHeight - 1);
}

// The picture at column `index` of a bitmap, drawn `size` pixels square in
// the middle of a canvas of the transparent colour: pixel for pixel, so
// that the transparent colour stays unmixed.
GdiObject<HBITMAP> CutPicture(HBITMAP source, int index, int size, SIZE canvas, COLORREF transparent)
{
    WindowDC screen(nullptr);
    MemoryDC from(CreateCompatibleDC(screen.Get()));
    MemoryDC to(CreateCompatibleDC(screen.Get()));
    GdiObject<HBITMAP> image(CreateCompatibleBitmap(screen.Get(), canvas.cx, canvas.cy));
    SelectedObject fromSelected(from.Get(), source);
    SelectedObject toSelected(to.Get(), image.Get());
    const RECT whole{0, 0, canvas.cx, canvas.cy};
    GdiObject<HBRUSH> background(CreateSolidBrush(transparent));
    FillRect(to.Get(), &whole, background.Get());
    SetStretchBltMode(to.Get(), COLORONCOLOR);
    StretchBlt(to.Get(), (canvas.cx - size) / 2, (canvas.cy - size) / 2, size, size, from.Get(), index * kPictureSize,
               0, kPictureSize, kPictureSize, SRCCOPY);
    return image;
}

// The disabled look of a picture that has none of its own: its grey
// levels, lightened, the transparent colour kept.
GdiObject<HBITMAP> GreyedPicture(HBITMAP source, int size, SIZE canvas, COLORREF transparent)
{
    GdiObject<HBITMAP> image = CutPicture(source, 0, size, canvas, transparent);
    WindowDC screen(nullptr);
    MemoryDC dc(CreateCompatibleDC(screen.Get()));
    SelectedObject selected(dc.Get(), image.Get());
    for (int y = 0; y < canvas.cy; ++y) {
        for (int x = 0; x < canvas.cx; ++x) {
            const COLORREF c = GetPixel(dc.Get(), x, y);
            if (c == transparent) continue;
            const int grey = (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
            const int light = 128 + grey / 2;
            SetPixel(dc.Get(), x, y, RGB(light, light, light));
        }
    }
    return image;
}

}  // namespace

ButtonPictures LoadButtonPictures(HINSTANCE instance, std::initializer_list<int> resources, int pictureSize,
                                  SIZE canvas)
{
    const int count = static_cast<int>(resources.size());
    ButtonPictures pictures{ImageList(ImageList_Create(canvas.cx, canvas.cy, ILC_COLOR32 | ILC_MASK, count, 0)),
                            ImageList(ImageList_Create(canvas.cx, canvas.cy, ILC_COLOR32 | ILC_MASK, count, 0))};
    for (const int id : resources) {
        GdiObject<HBITMAP> picture(static_cast<HBITMAP>(
            LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        const COLORREF transparent = BottomLeftColour(picture.Get());
        BITMAP info;
        GetObject(picture.Get(), sizeof info, &info);
        // The image lists keep copies of what is added.
        ImageList_AddMasked(pictures.normal.Get(), CutPicture(picture.Get(), 0, pictureSize, canvas, transparent).Get(),
                            transparent);
        const GdiObject<HBITMAP> disabled = info.bmWidth >= 2 * kPictureSize
                                                ? CutPicture(picture.Get(), 1, pictureSize, canvas, transparent)
                                                : GreyedPicture(picture.Get(), pictureSize, canvas, transparent);
        ImageList_AddMasked(pictures.disabled.Get(), disabled.Get(), transparent);
    }
    return pictures;
}

}  // namespace quorvel::ui
