// Survival of an object across a call-out. An event handler may free the object whose
// method raised the event (an OnDone that deletes its component, a change handler that
// frees the bitmap's owner); code that goes on after raising an event watches the
// object's lifeline first and stops when it has been cut.
#pragma once

#include <memory>

namespace Toolkit {

class TLifeline {
public:
    // What a caller holds across the call-out.
    class TWatch {
    public:
        bool Alive() const { return *FFlag; }
        explicit operator bool() const { return Alive(); }

    private:
        friend class TLifeline;
        explicit TWatch(std::shared_ptr<const bool> flag) : FFlag(std::move(flag)) {}
        std::shared_ptr<const bool> FFlag;
    };

    TLifeline() = default;
    // Each object has a lifeline of its own: copying the object does not copy it.
    TLifeline(const TLifeline&) {}
    TLifeline& operator=(const TLifeline&) { return *this; }
    ~TLifeline() {
        if (FFlag) *FFlag = false;
    }

    TWatch Watch() const {
        if (!FFlag) FFlag = std::make_shared<bool>(true);
        return TWatch(FFlag);
    }

private:
    mutable std::shared_ptr<bool> FFlag;  // created by the first watch
};

}  // namespace Toolkit
