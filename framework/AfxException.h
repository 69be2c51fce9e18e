#pragma once
// The two failures the framework raises as exceptions: an allocation (or a system resource such
// as a hook) that could not be had, and an index outside an array. The window procedure reports
// them and fails that message; they never unwind through the system's code.
#include <new>
#include <stdexcept>

[[noreturn]] inline void AfxThrowMemoryException()
{
    throw std::bad_alloc();
}

[[noreturn]] inline void AfxThrowInvalidArgException()
{
    throw std::invalid_argument("invalid argument");
}
