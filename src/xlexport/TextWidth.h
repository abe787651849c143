#pragma once

#include <QString>

namespace velmora::xl {

// The width in pixels a text takes in the default sheet font (Calibri 11 at 96 dpi), estimated
// per class of character so that every run, with or without a screen, measures the same.
double textPixels(const QString& text, double points, bool bold);

// Column width in characters of the default font's digit for a text of that many pixels, as
// AutoFit sets it (5 pixels of cell padding, at most 255 characters).
double columnWidthForPixels(double pixels);

} // namespace velmora::xl
