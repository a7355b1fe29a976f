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
    int handle = ++_last_handle;
    auto it = _entries.begin();
    while (it != _entries.end() && it->priority >= priority) ++it;
    _entries.insert(it, Entry{handle, priority, std::move(fn)});
    return handle;
  }
  void Remove(int handle) {
    for (auto it = _entries.begin(); it != _entries.end(); ++it) {
      if (it->handle == handle) {
        _entries.erase(it);
        return;
      }
    }
  }
  void Run(T& value) {
    // Copy so that a listener may add or remove listeners while the chain runs.
    auto snapshot = _entries;
    for (auto& e : snapshot) e.fn(value);
  }
  bool Empty() const { return _entries.empty(); }
  void Clear() { _entries.clear(); }

 private:
  struct Entry {
    int handle;
    int priority;
    Listener fn;
  };
  std::vector<Entry> _entries;
  int _last_handle = 0;
};
