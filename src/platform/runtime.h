// Run-time services of the platform layer: the program's directory, whole-file binary
// reads and writes (platform/files.h), the random generator, letting pending window messages
// run, and ending the program. Nothing here knows about the game.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace platform {

// The directory of the running executable, without a trailing separator
// (e.g. "/home/ann/game"). Callers build file names as "<AppPath>\name"; every file
// function (platform/files.h) accepts "\" and maps it to the host's separator.
std::string AppPath();

// Tests point the program at a scratch directory. An empty text restores the real one.
void SetAppPathForTesting(std::string path);

// "C:\x\y" style separators to the host's: every "\" becomes "/". Nothing else changes.
std::string HostPath(std::string_view path);

// Uniform random floats in [0, 1). Randomize seeds from the clock; SeedRandom gives a
// repeatable sequence for tests. Before any seeding the sequence is a fixed one.
float Rnd();
void Randomize();
void SeedRandom(std::uint32_t seed);

// Lets the window messages that are waiting run; their handlers run inside the caller.
void DoEvents();

// Ends the program at once: no further event of any window runs. Tests replace the
// handler (which then simply returns to the caller) to observe the request.
void End();
using EndHandler = std::function<void()>;
// Installs `handler` (an empty function restores the real one) and returns the old one.
EndHandler SetEndHandler(EndHandler handler);

}  // namespace platform
