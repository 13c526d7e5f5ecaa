#include "form/dialog_design.h"

#include <algorithm>

namespace solka {

namespace {

constexpr int kGap = 2;          // kept between a grown control and what stands right of it
constexpr int kReach = 4;        // a control this close to its container's edge reaches it
constexpr int kMostSmaller = 3;  // pixels a caption may lose

bool Holds(const ControlDesign& group, const ControlDesign& control) {
  return group.kind == ControlKind::Group && &group != &control && group.page == control.page &&
         control.x >= group.x && control.x + control.width <= group.x + group.width &&
         control.y >= group.y && control.y + control.height <= group.y + group.height;
}

int Right(const ControlDesign& c) {
  return c.x + c.width;
}

int ContainerWidth(const DialogDesign& dialog, const ControlDesign& c) {
  return c.page > 0 ? dialog.pageWidth : dialog.clientWidth;
}

bool ReachesEdge(const DialogDesign& dialog, const ControlDesign& c) {
  return c.page > 0 && Right(c) >= ContainerWidth(dialog, c) - kReach;
}

// How far a control may grow to the right, and whether that limit moves out as the pages grow.
struct Limit {
  int edge;
  bool moves;
};

Limit LimitOf(const DialogDesign& dialog, const ControlDesign& c) {
  Limit limit{ContainerWidth(dialog, c) - kGap, c.page > 0};
  for (const ControlDesign& other : dialog.controls) {
    if (&other == &c || other.page != c.page) continue;
    if (Holds(other, c)) {
      if (Right(other) - kGap < limit.edge)
        limit = {Right(other) - kGap, ReachesEdge(dialog, other)};
      continue;
    }
    const bool sameRow = other.y < c.y + c.height && c.y < other.y + other.height;
    if (sameRow && other.x >= Right(c) && other.x - kGap < limit.edge)
      limit = {other.x - kGap, false};
  }
  limit.edge = std::max(limit.edge, Right(c));
  return limit;
}

}  // namespace

DialogFit FitDialog(const DialogDesign& dialog, int titleExtent,
                    const std::function<int(const ControlDesign&, int fontSize)>& extent) {
  std::vector<Limit> limits;
  int growth = 0;
  for (const ControlDesign& c : dialog.controls) {
    limits.push_back(LimitOf(dialog, c));
    if (!c.text.empty() && limits.back().moves)
      growth = std::max(growth, c.x + extent(c, c.fontSize) - limits.back().edge);
  }
  growth = std::min(growth, dialog.clientWidth / 4);
  DialogFit fit{dialog.clientWidth + growth, {}};
  if (dialog.toolWindow) fit.clientWidth = std::max(fit.clientWidth, titleExtent);
  const int offset = (fit.clientWidth - dialog.clientWidth) / 2;
  for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
    const ControlDesign& c = dialog.controls[i];
    ControlFit& placed = fit.controls.emplace_back(
        ControlFit{c.x + (c.page > 0 ? 0 : offset), c.width + (ReachesEdge(dialog, c) ? growth : 0),
                   c.fontSize});
    if (c.text.empty()) continue;
    const int room = limits[i].edge + (limits[i].moves ? growth : 0) - c.x;
    for (;; --placed.fontSize) {
      const int needed = extent(c, placed.fontSize);
      if (needed <= room) {
        placed.width = std::max(placed.width, needed);
        break;
      }
      if (placed.fontSize == c.fontSize - kMostSmaller) {
        placed.width = room;
        break;
      }
    }
  }
  return fit;
}

std::string ShownCaption(std::string_view text) {
  std::string shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;  // "&&" is one "&"
    shown += text[i];
  }
  return shown;
}

}  // namespace solka
