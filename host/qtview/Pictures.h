#pragma once
// Pictures of image components. A TImage names its picture (a file, or a Qt
// resource ":/..."); pictures that cannot be loaded are drawn by the view at
// the image component's size, so grids always show their status marks.
// Pixels of olive (RGB 128, 128, 0) are transparent, as the grids expect.
#include <QIcon>
#include <QPixmap>
#include <string>

class TForm;
class TImage;

namespace qtview {

// The picture of an image component (null pixmap for size 0 and no file).
QPixmap PictureOf(const TImage& image);
// The picture of the image component named `name` on `form`; null when none.
QPixmap PictureByName(const TForm& form, const std::string& name);
// The picture of a tool button's glyph name ("incluir"), from the view's
// icons (host/qtview/icons); null when there is none.
QIcon GlyphIcon(const std::string& glyph);
// Makes olive pixels transparent.
QPixmap WithOliveTransparency(const QPixmap& picture);

}  // namespace qtview
