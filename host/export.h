#pragma once

/// Marks what crosses the boundary between host and module: the host's vessel interface, the zapi
/// functions and the module's callbacks. Everything else of a module stays hidden.
#define ZENTHAR_EXPORT __attribute__((visibility("default")))
