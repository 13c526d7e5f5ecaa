#include "form/form_part_renderer.h"

#include <string>

namespace solka {

void RenderFormPart(FormPartRenderer& renderer, FormPart part, const MainForm& form, Trace& trace) {
  switch (part) {
    case FormPart::Caption:
      renderer.RenderCaption();
      trace.Caption(form.Caption());
      break;
    case FormPart::WindowHint:
      renderer.RenderWindowHint();
      break;
    case FormPart::AppTitle:
      renderer.RenderAppTitle();
      break;
    case FormPart::Geometry:
      renderer.RenderGeometry();
      break;
    case FormPart::Visible:
      renderer.RenderVisible();
      break;
    case FormPart::BorderIcons:
      renderer.RenderBorderIcons();
      break;
    case FormPart::HintsShown:
      renderer.RenderHintsShown();
      break;
    case FormPart::TaskButton:
      renderer.RenderTaskButton();
      break;
    case FormPart::Label1:
    case FormPart::Label2:
    case FormPart::Label3: {
      const int n = LabelNumber(part);
      renderer.RenderLabel(n);
      trace.State("label" + std::to_string(n), form.Label(n).text);
      break;
    }
    case FormPart::Rows:
      renderer.RenderRows();
      break;
    case FormPart::Selection:
      renderer.RenderSelection();
      break;
    case FormPart::ScrollWidth:
      renderer.RenderScrollWidth();
      break;
    case FormPart::Tray:
      renderer.RenderTray();
      trace.Tray(form.TrayIcon(), form.TrayHint());
      break;
    case FormPart::Checks:
      renderer.RenderChecks();
      break;
    case FormPart::SleepButton:
      renderer.RenderSleepButton();
      trace.Sleep(form.SleepImage(), form.SleepHint());
      break;
    case FormPart::ActiveControl:
      renderer.RenderActiveControl();
      break;
    case FormPart::DropTarget:
      renderer.RenderDropTarget();
      break;
  }
}

}  // namespace solka
