#pragma once

namespace pelorix::test {

// The updater refuses to run while any process on the machine is named like the main program,
// so a test that runs such a process must not overlap the updater runs of other tests (ctest
// runs them side by side). Every run holds the lock shared; such a test holds it alone.
class RunLock {
  public:
    enum class Kind { Shared, Exclusive };
    explicit RunLock(Kind kind);
    ~RunLock();
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

  private:
    // The open lock file: a descriptor, or a Windows handle.
    long long fd_ = -1;
};

}  // namespace pelorix::test
