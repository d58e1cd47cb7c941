#pragma once

#include <memory>

// Owns state that only the platform's half of a class knows (its type is complete only there).
// The shared half may destroy it without knowing the type: each platform defines the deleter of
// the types it uses.
template <class T>
struct PlatformDeleter {
    void operator()(T* p) const;
};
template <class T>
using PlatformPtr = std::unique_ptr<T, PlatformDeleter<T>>;
