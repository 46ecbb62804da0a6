#include "markup/gdiplus_win.h"

#include "base/system_dll_win.h"

namespace griv::gdip {

namespace {

struct StartupInput {
  UINT32 version = 1;
  void* debugEventCallback = nullptr;
  BOOL suppressBackgroundThread = FALSE;
  BOOL suppressExternalCodecs = FALSE;
};
using StartupFn = Status WINAPI(ULONG_PTR*, const StartupInput*, void*);

template <typename Fn>
bool Bind(Fn*& slot, const char* name) {
  slot = SystemProc<Fn>(L"gdiplus.dll", name);
  return slot != nullptr;
}

bool Load(Api& a) {
  const bool bound =
      Bind(a.CreateBitmapFromScan0, "GdipCreateBitmapFromScan0") &&
      Bind(a.GetImageGraphicsContext, "GdipGetImageGraphicsContext") && Bind(a.DisposeImage, "GdipDisposeImage") &&
      Bind(a.DeleteGraphics, "GdipDeleteGraphics") && Bind(a.SetSmoothingMode, "GdipSetSmoothingMode") &&
      Bind(a.SetTextRenderingHint, "GdipSetTextRenderingHint") &&
      Bind(a.ScaleWorldTransform, "GdipScaleWorldTransform") &&
      Bind(a.TranslateWorldTransform, "GdipTranslateWorldTransform") && Bind(a.CreatePen1, "GdipCreatePen1") &&
      Bind(a.DeletePen, "GdipDeletePen") && Bind(a.SetPenLineJoin, "GdipSetPenLineJoin") &&
      Bind(a.SetPenStartCap, "GdipSetPenStartCap") && Bind(a.SetPenEndCap, "GdipSetPenEndCap") &&
      Bind(a.DrawRectangle, "GdipDrawRectangle") && Bind(a.DrawEllipse, "GdipDrawEllipse") &&
      Bind(a.DrawLines, "GdipDrawLines") && Bind(a.CreateSolidFill, "GdipCreateSolidFill") &&
      Bind(a.DeleteBrush, "GdipDeleteBrush") && Bind(a.FillPolygon, "GdipFillPolygon") &&
      Bind(a.FillEllipse, "GdipFillEllipse") && Bind(a.CreateFontFamilyFromName, "GdipCreateFontFamilyFromName") &&
      Bind(a.GetGenericFontFamilySansSerif, "GdipGetGenericFontFamilySansSerif") &&
      Bind(a.DeleteFontFamily, "GdipDeleteFontFamily") && Bind(a.CreateFont, "GdipCreateFont") &&
      Bind(a.DeleteFont, "GdipDeleteFont") && Bind(a.CreateStringFormat, "GdipCreateStringFormat") &&
      Bind(a.DeleteStringFormat, "GdipDeleteStringFormat") &&
      Bind(a.SetStringFormatAlign, "GdipSetStringFormatAlign") &&
      Bind(a.SetStringFormatLineAlign, "GdipSetStringFormatLineAlign") && Bind(a.DrawString, "GdipDrawString") &&
      Bind(a.MeasureString, "GdipMeasureString");
  if (!bound) return false;
  const auto startup = SystemProc<StartupFn>(L"gdiplus.dll", "GdiplusStartup");
  ULONG_PTR token = 0;
  StartupInput in;
  // Started for the life of the process: marks are drawn until it ends.
  return startup && startup(&token, &in, nullptr) == kOk;
}

}  // namespace

const Api* Gdiplus() {
  static Api api{};
  static const bool ok = Load(api);
  return ok ? &api : nullptr;
}

}  // namespace griv::gdip
