#pragma once

/// Engine groups of a vessel.
enum ENGINETYPE { ENGINE_MAIN = 0, ENGINE_RETRO = 1, ENGINE_HOVER = 2, ENGINE_ATTITUDE = 3 };

/// Exhaust flames: the main engine's own flame, or one whose size the module sets every step.
enum EXHAUSTTYPE { EXHAUST_MAIN = 0, EXHAUST_CUSTOM = 3 };
