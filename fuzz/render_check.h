// Carries a decoded picture on through the document's view at a few zoom
// ratios: the view has the scaled size, or the render reports failure and
// leaves no view.
#pragma once
#include <cstdlib>

#include "image/document.h"

namespace griv {

inline void CheckRenders(const Picture& p) {
  if (p.pixels.size() > (1u << 20)) return;  // large views only cost time
  ImageDocument doc;
  doc.SaveUndo();
  doc.SetFullImage(p);
  for (double ratio : {1.0, 1.0 / 3, 2.0, 0.5, 1.0 / 7}) {
    const bool ok = doc.RenderView(doc.FullImage(), ratio);
    const Picture& v = doc.ShownImage();
    if (!ok) {
      if (!v.Empty() || !doc.RenderFailed()) std::abort();
      continue;
    }
    // At 1:1 a 24- or 32-bit picture is shown as it is; every other view has 24 bits a pixel.
    const bool itself = ratio == 1.0 && (p.bpp == 24 || p.bpp == 32);
    if (v.width != ScaledLength(p.width, ratio) || v.height != ScaledLength(p.height, ratio) ||
        v.bpp != (itself ? p.bpp : 24) || v.pixels.size() != size_t(v.Stride()) * size_t(v.height))
      std::abort();
  }
}

}  // namespace griv
