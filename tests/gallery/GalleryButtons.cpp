#include "GalleryHook.h"

// Until the widget library brings its bar, the area says what belongs there.
void AddGalleryButtons(TForm&, TPanel& area) {
  area.SetCaption("Button bar");
}
