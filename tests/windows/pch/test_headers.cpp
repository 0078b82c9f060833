// The precompiled GoogleTest headers that every Windows test program reuses
// are made with this file.
