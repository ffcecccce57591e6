#pragma once
// A list of equally sized pictures that actions and controls refer to by
// index. Each picture leaves out the colour of its bottom-left pixel when it
// is drawn, so that whatever lies behind shows through.

#include <vector>

#include "ui/Classes.h"
#include "ui/Graphics.h"

class TCustomImageList : public TComponent {
 public:
  // Pictures of 16 x 16 pixels unless told otherwise.
  explicit TCustomImageList(TComponent* owner, int width = 16, int height = 16);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Count() const { return static_cast<int>(images_.size()); }

  // Adds a picture of the list's size, or a strip of such pictures side by
  // side; returns the index of the first one added.
  int Add(const TBitmap& image);
  // Throws when the index is outside the list.
  const TBitmap& Image(int index) const;

  // Draws a picture with its top-left corner at (x, y); the disabled look is
  // the picture in greys.
  void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;
  // The same onto a bitmap, pixel by pixel; what falls outside it is cut off.
  void Draw(TBitmap& target, int x, int y, int index, bool enabled = true) const;

 private:
  // The picture as drawn: the disabled look, when asked for.
  TBitmap Look(int index, bool enabled) const;

  int width_;
  int height_;
  std::vector<TBitmap> images_;
};

class TImageList : public TCustomImageList {
 public:
  using TCustomImageList::TCustomImageList;
};
