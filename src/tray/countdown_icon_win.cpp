#include "tray/countdown_icon_win.h"

#include <string>
#include <vector>

#include "base/dib_win.h"
#include "ui/ui_win.h"

namespace griv {

UniqueIcon MakeCountdownIcon(int seconds, int size) {
  BITMAPINFO bi = TopDownInfo(size, size, 32);
  void* bits = nullptr;
  UniqueBitmap colour(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  const std::vector<uint8_t> clear(size_t((size + 15) / 16 * 2) * size, 0);  // the alpha decides; the mask lets all through
  UniqueBitmap mask(CreateBitmap(size, size, 1, 1, clear.data()));
  if (!colour || !mask || !bits) return UniqueIcon();
  {
    UniqueMemDC dc(CreateCompatibleDC(nullptr));
    SelectObj b(dc.get(), colour.get());
    RECT all{0, 0, size, size};
    FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const std::wstring text = std::to_wstring(seconds);
    // Two digits take a narrower face so that they fit the disc.
    UniqueFont font = MakeFont(L"Tahoma", -(text.size() > 1 ? size * 9 / 16 : size * 3 / 4), FW_BOLD,
                               NONANTIALIASED_QUALITY);
    SelectObj f(dc.get(), font.get());
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), RGB(255, 255, 255));
    DrawTextW(dc.get(), text.c_str(), int(text.size()), &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    GdiFlush();
  }
  // The disc: red where the text left black, opaque inside the circle only.
  auto* px = static_cast<uint8_t*>(bits);
  const double r = size / 2.0;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      uint8_t* p = px + (size_t(y) * size + x) * 4;
      const double dx = x + 0.5 - r, dy = y + 0.5 - r;
      const bool inside = dx * dx + dy * dy <= r * r;
      const bool white = p[0] > 128;
      p[0] = white ? 255 : 32;
      p[1] = white ? 255 : 32;
      p[2] = white ? 255 : 208;
      p[3] = inside ? 255 : 0;
      if (!inside) p[0] = p[1] = p[2] = 0;
    }
  ICONINFO ii{TRUE, 0, 0, mask.get(), colour.get()};
  return UniqueIcon(CreateIconIndirect(&ii));
}

}  // namespace griv
