#pragma once
// The wrap's copy of a driver's points, for drivers whose raw points cannot be read: built
// once per driver mesh data object and shared by every deform call that reads the same data,
// including calls on several threads at once. A reader keeps the array it was handed alive
// after the cache has moved on to other data or been reset.

#include <memory>
#include <mutex>
#include <utility>

template <class Key, class Points>
class DriverPointCache
{
public:
    // The points held when `isHeldKey(heldKey)` says they are `key`'s, else the points
    // `build(points)` fills, which are then held for `key`. Null when the build fails; what
    // was held stays.
    template <class IsHeldKey, class Build>
    std::shared_ptr<const Points> get(const Key& key, IsHeldKey isHeldKey, Build build)
    {
        std::lock_guard<std::mutex> lock(fMutex);
        if (!fPoints || !isHeldKey(static_cast<const Key&>(fKey))) {
            auto fresh = std::make_shared<Points>();
            if (!build(*fresh))
                return nullptr;
            fKey = key;
            fPoints = std::move(fresh);
        }
        return fPoints;
    }

    // Forgets the held points (the driver is about to change).
    void reset()
    {
        std::lock_guard<std::mutex> lock(fMutex);
        fKey = Key();
        fPoints.reset();
    }

private:
    std::mutex fMutex;
    Key fKey{};
    std::shared_ptr<const Points> fPoints;
};
