// A program with no tests of its own: it carries the precompiled test headers.
