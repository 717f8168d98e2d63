// Only so that the precompiled headers (cmake/precompiled.cmake) have a target to be
// compiled in; nothing here is linked into a program.
