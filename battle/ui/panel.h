// CPanel: one rectangle of 2D picture over the 3D view (a gauge, a text box, a screen), kept in
// a 16-bit DIB section with its own memory DC for GDI text and an engine image over the same
// bits, so that the Glide back end writes it into the frame without a copy.
#pragma once

#include <cstdint>
#include <string>

#include "battle/core/list_link.h"
#include "platform/gdi.h"
#include "platform/window/rect.h"

struct R3xGlideImage;
struct R3xSlot;
struct R3xWad;

class CPanel {
 public:
  // A panel of a pack archive's bitmap; a source of four zeros stands for the whole bitmap. The
  // archive is borrowed until the panel is created.
  CPanel(R3xWad* archive, int left, int top, int right, int bottom, std::string name);
  // A blank panel of right - left by bottom - top pixels.
  CPanel(int left, int top, int right, int bottom);
  ~CPanel();
  CPanel(const CPanel&) = delete;
  CPanel& operator=(const CPanel&) = delete;

  // Destination = source moved by (dx, dy); key 0 or more makes the bitmap's transparent index
  // see-through. Create's result.
  int Place(int dx, int dy, int key);
  // Builds (or rebuilds) the DIB section, the DC and the engine image: 1, or 0 with nothing
  // held.
  int Create();
  // When dirty or forced, writes the panel into the back buffer on this frame and the next, as
  // Glide draws into two alternating buffers.
  void Draw(int force);
  // Copies the source rectangle's non-zero pixels into the target's image at the destination
  // rectangle when dirty or forced; the caller marks the target dirty.
  void BlitTo(int force, CPanel* target);

  bool created() const { return created_ != 0; }
  bool keyed() const { return keyed_ != 0; }
  bool dirty() const { return dirty_ != 0; }
  void SetDirty() { dirty_ = 1; }
  HDC dc() const { return dc_; }
  std::uint16_t* pixels() const { return pixels_; }
  // Pixels a stored row of the pixels (the section's even width).
  int rowLength() const;
  int height() const { return source_.bottom - source_.top; }
  R3xGlideImage* image() const { return image_; }
  const RECT& source() const { return source_; }
  const RECT& destination() const { return destination_; }
  // Users move the shown part (a strip's frame) or where it lands.
  void SetSource(const RECT& source) { source_ = source; }
  void SetDestination(const RECT& destination) { destination_ = destination; }

 private:
  void Release();
  int CreateSection(int width, int height);

  CListLink link_;
  RECT source_{};
  RECT destination_{};
  R3xGlideImage* image_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ savedBitmap_ = nullptr;
  // The section this panel made; the only bitmap it deletes.
  HBITMAP section_ = nullptr;
  std::uint16_t* pixels_ = nullptr;
  std::uint16_t* savedImagePixels_ = nullptr;
  std::string name_;
  int created_ = 0;
  int keyed_ = 0;
  int colourKey_ = -1;
  int named_ = 0;
  R3xWad* archive_ = nullptr;
  R3xSlot* bitmap_ = nullptr;
  int dirty_ = 0;
  int redrawCountdown_ = 0;
};
