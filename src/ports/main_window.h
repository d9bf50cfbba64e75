#pragma once
// The main window itself (not its controls): its state, caption and preview picture.
#include <string_view>

namespace tesnova {

struct Bitmap;

class MainWindow {
 public:
  virtual ~MainWindow() = default;

  virtual void Minimise() = 0;
  virtual void RestoreNormal() = 0;
  virtual void BringToForeground() = 0;
  virtual void SetCaption(std::string_view caption) = 0;
  // Shows the bitmap in the picture control "Image1", scaled to fit.
  virtual void ShowPicture(const Bitmap& bitmap) = 0;
};

}  // namespace tesnova
