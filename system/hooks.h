#pragma once
// Process-wide hook chains: listeners run in descending priority, each gets the value in turn.
#include <functional>
#include <vector>

template <class T>
class HookChain {
 public:
  using Listener = std::function<void(T&)>;

  // Returns a handle for Remove. Listeners of equal priority run in the order they were added.
  int Add(Listener fn, int priority) {
    int handle = ++last_handle_;
    auto it = entries_.begin();
    while (it != entries_.end() && it->priority >= priority) ++it;
    entries_.insert(it, Entry{handle, priority, std::move(fn)});
    return handle;
  }
  void Remove(int handle) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (it->handle == handle) {
        entries_.erase(it);
        return;
      }
    }
  }
  void Run(T& value) {
    // Copy so that a listener may add or remove listeners while the chain runs.
    auto snapshot = entries_;
    for (auto& e : snapshot) e.fn(value);
  }
  bool Empty() const { return entries_.empty(); }
  void Clear() { entries_.clear(); }

 private:
  struct Entry {
    int handle;
    int priority;
    Listener fn;
  };
  std::vector<Entry> entries_;
  int last_handle_ = 0;
};
