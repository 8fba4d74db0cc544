#pragma once

// Registers the window's pictures (splash bitmap, icon); the library is
// static, so its resources need this once before use.
void InitUiResources();
