#pragma once

#include <windows.h>

#include <utility>

namespace pelorix::platform {

// A kernel handle that closes with its owner, whichever way the scope is left.
class OwnedHandle {
  public:
    explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
    ~OwnedHandle() {
        if (isValid()) {
            CloseHandle(handle_);
        }
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;

    // Both "no handle" values of the API count as none.
    bool isValid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    // Hands the handle on to a new owner.
    HANDLE release() { return std::exchange(handle_, nullptr); }

  private:
    HANDLE handle_;
};

}  // namespace pelorix::platform
