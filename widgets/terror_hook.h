#pragma once

#include <exception>
#include <functional>

// Where a table error raised inside a widget's own handler goes: it must never
// unwind into Qt's event loop. Without a handler it is logged with qWarning.
class TErrorHook {
 public:
  using Handler = std::function<void(const std::exception&)>;

  void Set(Handler handler);
  void Report(const std::exception& error) const;

  // Runs `work`; a std::exception it throws is reported instead of propagated.
  template <class Work>
  void Run(Work&& work) const {
    try {
      work();
    } catch (const std::exception& error) {
      Report(error);
    }
  }

 private:
  Handler handler_;
};
