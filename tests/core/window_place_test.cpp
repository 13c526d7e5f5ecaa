// Where a stored window position is shown: as stored while its title bar can be reached on a
// screen, otherwise on the nearest screen.
#include "form/window_place.h"

#include <gmock/gmock.h>

#include <climits>

namespace solka {
namespace {

const ScreenArea kLeftScreen{0, 0, 1920, 1040};
const ScreenArea kRightScreen{1920, 0, 1280, 1024};

TEST(WindowPlace, AReachablePositionIsKeptEvenPartlyOffTheScreen) {
  for (const ScreenArea wanted : {ScreenArea{183, 154, 248, 313}, ScreenArea{-200, 900, 248, 313},
                                  ScreenArea{1800, 10, 248, 313}, ScreenArea{3000, 1000, 248, 68}})
    EXPECT_EQ(PlaceOnScreen(wanted, {kLeftScreen, kRightScreen}), wanted);
  // With no screen known there is nothing to place against.
  EXPECT_EQ(PlaceOnScreen({-5000, 32767, 248, 313}, {}), (ScreenArea{-5000, 32767, 248, 313}));
}

TEST(WindowPlace, ATitleBarOffEveryScreenComesOntoTheNearestOne) {
  const std::vector<ScreenArea> screens{kLeftScreen, kRightScreen};
  EXPECT_EQ(PlaceOnScreen({-5000, 32767, 248, 313}, screens), (ScreenArea{0, 727, 248, 313}));
  EXPECT_EQ(PlaceOnScreen({9000, 500, 248, 68}, screens), (ScreenArea{2952, 500, 248, 68}));
  // Only the bottom of the window on the screen: the title bar above it cannot be taken hold of.
  EXPECT_EQ(PlaceOnScreen({100, -300, 248, 313}, screens), (ScreenArea{100, 0, 248, 313}));
  // A sliver of title bar is not enough either.
  EXPECT_EQ(PlaceOnScreen({-240, 100, 248, 313}, screens), (ScreenArea{0, 100, 248, 313}));
  // The extremes of a stored number do not overflow.
  EXPECT_EQ(PlaceOnScreen({INT_MIN, INT_MAX, 248, 313}, screens), (ScreenArea{0, 727, 248, 313}));
  // A window taller than the screen keeps its title bar in sight.
  EXPECT_EQ(PlaceOnScreen({0, 5000, 248, 313}, {{0, 0, 640, 200}}), (ScreenArea{0, 0, 248, 313}));
}

TEST(WindowPlace, AWindowMovedNearAWorkAreaEdgeSnapsOntoIt) {
  const ScreenArea work{0, 0, 1920, 1040};
  EXPECT_EQ(SnapToEdges({-9, 4, 248, 68}, work, 10), (ScreenArea{0, 0, 248, 68}));
  EXPECT_EQ(SnapToEdges({1665, 730, 248, 313}, work, 10), (ScreenArea{1672, 727, 248, 313}));
  EXPECT_EQ(SnapToEdges({11, 500, 248, 313}, work, 10), (ScreenArea{11, 500, 248, 313}));
  // Near both edges of an axis: the nearer one wins.
  EXPECT_EQ(SnapToEdges({3, 40, 1925, 68}, work, 10), (ScreenArea{0, 40, 1925, 68}));
}

}  // namespace
}  // namespace solka
