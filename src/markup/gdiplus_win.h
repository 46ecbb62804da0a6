// The part of the GDI+ flat interface that drawing marks needs, bound from
// the system's gdiplus.dll at first use and started once for the process.
#pragma once
#include <windows.h>

namespace griv::gdip {

struct GpGraphics;
struct GpImage;
struct GpPen;
struct GpBrush;
struct GpFont;
struct GpFontFamily;
struct GpStringFormat;
struct GpPointF {
  float x, y;
};
struct GpRectF {
  float x, y, width, height;
};
using Status = int;
using ARGB = DWORD;

enum : int {
  kOk = 0,
  kUnitWorld = 0,
  kUnitPixel = 2,
  kSmoothingAntiAlias = 4,
  kTextAntiAlias = 4,
  kLineJoinMiter = 0,
  kLineJoinRound = 2,
  kLineCapFlat = 0,
  kLineCapRound = 2,
  kFillAlternate = 0,
  kMatrixAppend = 1,
  kFontRegular = 0,
  kFontBold = 1,
  kAlignNear = 0,
  kAlignCenter = 1,
  kFormatNoWrap = 0x1000,
  kFormatNoClip = 0x4000,
  kFormatMeasureTrailingSpaces = 0x0800,
  kPixelFormat24bppRGB = 0x00021808,
  kPixelFormat32bppRGB = 0x00022009,
};

struct Api {
  Status(WINAPI* CreateBitmapFromScan0)(INT, INT, INT, INT, BYTE*, GpImage**);
  Status(WINAPI* GetImageGraphicsContext)(GpImage*, GpGraphics**);
  Status(WINAPI* DisposeImage)(GpImage*);
  Status(WINAPI* DeleteGraphics)(GpGraphics*);
  Status(WINAPI* SetSmoothingMode)(GpGraphics*, INT);
  Status(WINAPI* SetTextRenderingHint)(GpGraphics*, INT);
  Status(WINAPI* ScaleWorldTransform)(GpGraphics*, float, float, INT);
  Status(WINAPI* TranslateWorldTransform)(GpGraphics*, float, float, INT);
  Status(WINAPI* CreatePen1)(ARGB, float, INT, GpPen**);
  Status(WINAPI* DeletePen)(GpPen*);
  Status(WINAPI* SetPenLineJoin)(GpPen*, INT);
  Status(WINAPI* SetPenStartCap)(GpPen*, INT);
  Status(WINAPI* SetPenEndCap)(GpPen*, INT);
  Status(WINAPI* DrawRectangle)(GpGraphics*, GpPen*, float, float, float, float);
  Status(WINAPI* DrawEllipse)(GpGraphics*, GpPen*, float, float, float, float);
  Status(WINAPI* DrawLines)(GpGraphics*, GpPen*, const GpPointF*, INT);
  Status(WINAPI* CreateSolidFill)(ARGB, GpBrush**);
  Status(WINAPI* DeleteBrush)(GpBrush*);
  Status(WINAPI* FillPolygon)(GpGraphics*, GpBrush*, const GpPointF*, INT, INT);
  Status(WINAPI* FillEllipse)(GpGraphics*, GpBrush*, float, float, float, float);
  Status(WINAPI* CreateFontFamilyFromName)(const WCHAR*, void*, GpFontFamily**);
  Status(WINAPI* GetGenericFontFamilySansSerif)(GpFontFamily**);
  Status(WINAPI* DeleteFontFamily)(GpFontFamily*);
  Status(WINAPI* CreateFont)(const GpFontFamily*, float, INT, INT, GpFont**);
  Status(WINAPI* DeleteFont)(GpFont*);
  Status(WINAPI* CreateStringFormat)(INT, LANGID, GpStringFormat**);
  Status(WINAPI* DeleteStringFormat)(GpStringFormat*);
  Status(WINAPI* SetStringFormatAlign)(GpStringFormat*, INT);
  Status(WINAPI* SetStringFormatLineAlign)(GpStringFormat*, INT);
  Status(WINAPI* DrawString)(GpGraphics*, const WCHAR*, INT, const GpFont*, const GpRectF*, const GpStringFormat*,
                             const GpBrush*);
  Status(WINAPI* MeasureString)(GpGraphics*, const WCHAR*, INT, const GpFont*, const GpRectF*, const GpStringFormat*,
                                GpRectF*, INT*, INT*);
};

// GDI+ bound and started, or nullptr when the system has none.
const Api* Gdiplus();

}  // namespace griv::gdip
