#include "ui/ImgList.h"

#include <stdexcept>
#include <string>

TCustomImageList::TCustomImageList(TComponent* owner, int width, int height)
    : TComponent(owner), width_(width), height_(height) {
  if (width <= 0 || height <= 0)
    throw std::invalid_argument("An image list needs a positive width and height, not " + std::to_string(width) +
                                " x " + std::to_string(height) + ".");
}

int TCustomImageList::Add(const TBitmap& image) {
  if (image.Height() != height_ || image.Width() == 0 || image.Width() % width_ != 0)
    throw std::invalid_argument("A picture of " + std::to_string(image.Width()) + " x " +
                                std::to_string(image.Height()) + " pixels does not fit an image list of " +
                                std::to_string(width_) + " x " + std::to_string(height_) + ".");
  const int first = Count();
  std::vector<TBitmap> cells;
  for (int left = 0; left < image.Width(); left += width_) {
    TBitmap cell(width_, height_);
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) cell.SetPixel(x, y, image.Pixel(left + x, y));
    cells.push_back(std::move(cell));
  }
  images_.insert(images_.end(), cells.begin(), cells.end());
  return first;
}

const TBitmap& TCustomImageList::Image(int index) const {
  if (index < 0 || index >= Count())
    throw std::out_of_range("Image index " + std::to_string(index) + " is outside the image list of " +
                            std::to_string(Count()) + " pictures.");
  return images_[static_cast<size_t>(index)];
}

TBitmap TCustomImageList::Look(int index, bool enabled) const {
  TBitmap look = Image(index);
  if (enabled) return look;
  const TColor transparent = look.Pixel(0, height_ - 1);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      const TColor c = look.Pixel(x, y);
      if (c == transparent) continue;
      const int grey = (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
      // Kept apart from the transparent colour, which may itself be a grey.
      uint8_t level = static_cast<uint8_t>(grey);
      if (RGB(level, level, level) == transparent) level = level > 0 ? level - 1 : 1;
      look.SetPixel(x, y, RGB(level, level, level));
    }
  return look;
}

void TCustomImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
  const TBitmap look = Look(index, enabled);
  canvas.DrawTransparent(x, y, look, look.Pixel(0, height_ - 1));
}

void TCustomImageList::Draw(TBitmap& target, int x, int y, int index, bool enabled) const {
  const TBitmap look = Look(index, enabled);
  const TColor transparent = look.Pixel(0, height_ - 1);
  for (int row = 0; row < height_; ++row)
    for (int col = 0; col < width_; ++col) {
      const TColor c = look.Pixel(col, row);
      if (c != transparent) target.SetPixel(x + col, y + row, c);
    }
}
