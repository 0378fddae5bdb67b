// A test seam set for one scope: the hook the product had is put back on every way out of the
// scope, a failed ASSERT included, so one test's stand-in never leaks into the next test.
#pragma once

namespace test_support {

template <typename Hook>
class scoped_seam {
 public:
  scoped_seam(Hook& slot, Hook stand_in) : slot_(slot), previous_(slot) { slot_ = stand_in; }
  ~scoped_seam() { slot_ = previous_; }
  scoped_seam(const scoped_seam&) = delete;
  scoped_seam& operator=(const scoped_seam&) = delete;

 private:
  Hook& slot_;
  Hook previous_;
};

}  // namespace test_support
