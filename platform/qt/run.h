// The program on Qt: builds the platform, the player and its window, runs the event loop.
#pragma once

namespace solka {

int RunSolka(int argc, char** argv);

}  // namespace solka
