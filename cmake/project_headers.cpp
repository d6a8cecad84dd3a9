// A library with no code of its own: it carries the precompiled standard headers.
