#pragma once

/// A host object (a vessel) as the host hands it out; opaque to the module.
typedef void* OBJHANDLE;

/// A scenario file position as the host hands it out; opaque to the module.
typedef void* FILEHANDLE;
