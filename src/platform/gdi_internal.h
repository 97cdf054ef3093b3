// Private link between the handle table and the widgets that own a drawing surface.
#pragma once

#include <QImage>
#include <QRect>
#include <string>

#include "platform/gdi.h"

namespace platform::detail {

// Told which rectangle of its surface a copy has changed.
class SurfaceOwner {
 public:
  virtual void SurfaceChanged(const QRect& rect) = 0;

 protected:
  ~SurfaceOwner() = default;
};

// Gives a device context on `surface` (a Format_RGB32 image that must outlive the handle
// and keep its size). Copies into it compare pixels and report changed areas to `owner`.
HDC RegisterSurfaceDC(QImage* surface, SurfaceOwner* owner);
// Invalidates the handle; later calls with it return 0.
void ReleaseSurfaceDC(HDC hdc);

// True while a recorder is installed (SetCallRecorder).
bool Recording();
// Describes one call to the recorder; true when the recorder makes the call fail.
bool Record(const std::string& call);

}  // namespace platform::detail
