#pragma once

#include <windows.h>

#include <string>

// The face and size lists of the Format page, filled from the fonts the
// system enumerates. Both act on combo boxes whose index order is the
// order shown: the face list sorts itself, the size list does not.

// The screen's vertical pixels per inch, read again whenever the face list
// is filled; raster fonts' pixel heights become point sizes with it.
extern int screenDpiY;

// Fills `faceList` with every installed family, once.
void fillFaceList(HWND faceList);

// Adds `name` to the face list unless it is empty, names a vertical-writing
// variant (begins with "@") or is listed already (compared ignoring case);
// true when it was added.
bool addFaceName(HWND faceList, const char* name);

// Refills `sizeList` with the point sizes offered for `face`, or the standard
// sizes when it offers none (an empty face, or one that is not installed).
// A positive `wantedSize` is listed too, so the size a page has is shown as
// it is; the first size not below it is selected, or the last.
void fillSizeList(HWND sizeList, const std::string& face, int wantedSize);

// Puts a raster font's size into the ascending size list unless present.
void addRasterSize(HWND sizeList, int points);

// The first entry not below `wantedSize`, else the last; nothing when empty.
void selectSize(HWND sizeList, int wantedSize);

// The value of the selected size; false when nothing is selected.
bool selectedSize(HWND sizeList, int& points);
