#pragma once
// Printing a picture as one page: centred, scaled to fill 97 % of the page in its
// limiting direction, with a header line and an optional frame.
#include <string>

class QImage;
class QPrinter;

namespace wux {

// Half extents of a `width` x `height` picture fitted, aspect kept, into the box of
// 0.97 x half the page each way. Rounding is to the nearest integer, halves to even.
// A picture with a zero side has nothing to fit: both halves are 0.
struct FitExtents {
  int halfWidth = 0;
  int halfHeight = 0;
};
FitExtents fitPictureToPage(int width, int height, int pageWidth, int pageHeight);

// Prints `picture` as one job on `printer`, with `header` (Shift_JIS) at the top left.
// False, with the reason in `error`, when the picture is empty or the job cannot start.
bool stretchDrawFit(QPrinter& printer, const QImage& picture, const std::string& header, bool frame,
                    std::string* error = nullptr);

}  // namespace wux
