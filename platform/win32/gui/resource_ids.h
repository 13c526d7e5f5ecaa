// Numbers of the program's resources, shared by the resource script and the code.
#pragma once

// Tool-bar glyphs: normal image i is kToolBarNormal + i, hot image kToolBarHot + i.
#define SOLKA_TOOLBAR_NORMAL 200
#define SOLKA_TOOLBAR_HOT 220
#define SOLKA_TOOLBAR_IMAGES 9
// The glyph of the status panel's tray button.
#define SOLKA_TRAY_BUTTON 240
