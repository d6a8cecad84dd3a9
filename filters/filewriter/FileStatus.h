#pragma once

// Outcome of a segment or list file operation. The writer's core knows nothing of the
// media framework's result codes; the filter turns a failure into one.
struct FileStatus
{
    enum class Kind
    {
        Ok,
        InvalidName, // the name cannot be used: too long for a path, or not listable
        SystemError, // a file system call failed; errorNumber holds its errno
    };

    Kind kind = Kind::Ok;
    int errorNumber = 0;

    static FileStatus Success() { return {}; }
    static FileStatus InvalidName() { return {Kind::InvalidName, 0}; }
    static FileStatus FromErrno(int error) { return {Kind::SystemError, error}; }

    bool Succeeded() const { return kind == Kind::Ok; }
};
