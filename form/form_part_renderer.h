// How a window layer draws each part of the main form. RenderFormPart picks the method for a
// changed part and traces what whole-program tests follow, so every layer shares the dispatch
// and the trace and only draws.
#pragma once

#include "form/main_form.h"
#include "form/trace.h"

namespace solka {

class FormPartRenderer {
 public:
  virtual ~FormPartRenderer() = default;
  virtual void RenderCaption() = 0;
  virtual void RenderWindowHint() = 0;
  virtual void RenderAppTitle() = 0;
  virtual void RenderGeometry() = 0;
  virtual void RenderVisible() = 0;
  virtual void RenderBorderIcons() = 0;
  virtual void RenderHintsShown() = 0;
  virtual void RenderTaskButton() = 0;
  // Status panel label 1 to 3.
  virtual void RenderLabel(int n) = 0;
  // The rows and, with them, the selection.
  virtual void RenderRows() = 0;
  virtual void RenderSelection() = 0;
  virtual void RenderScrollWidth() = 0;
  virtual void RenderTray() = 0;
  virtual void RenderChecks() = 0;
  virtual void RenderSleepButton() = 0;
  virtual void RenderActiveControl() = 0;
  virtual void RenderDropTarget() = 0;
};

// Draws `part` of `form` through `renderer`, then traces it.
void RenderFormPart(FormPartRenderer& renderer, FormPart part, const MainForm& form, Trace& trace);

}  // namespace solka
