// State a lower layer keeps for the run while the program context above it
// holds the real copy: the context installs its own while it is the one in
// use, and with none installed the layer reads a copy of its own. Keep one
// as a function-local static, so it exists before its first use.
#pragma once

namespace tq {

template <class T>
class InstalledState {
public:
    T& get() { return *current_; }
    // Makes s the state in use (null: the layer's own) and returns the one
    // that was.
    T* use(T* s)
    {
        T* was = current_;
        current_ = s ? s : &own_;
        return was;
    }

private:
    T own_{};
    T* current_ = &own_;
};

} // namespace tq
