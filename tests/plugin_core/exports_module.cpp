// The module holds tw_core whole; it has no code of its own.
