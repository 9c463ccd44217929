// The artwork's resources are linked from their own object files; this library only carries
// them, so that every window library and test links the same set.
