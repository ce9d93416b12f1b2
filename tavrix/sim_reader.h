// "SIM": a reader with no hardware behind it, so the whole program can be
// shown and tried on a machine without a badge reader.
//
// It plays a fixed, repeating sequence: a badge every period, held in the
// field for half of it, and now and then a bad read.
#pragma once

#include <chrono>
#include <string_view>
#include <vector>

#include "reader.h"

namespace tavrix {

class SimReader final : public Reader {
 public:
  static constexpr std::chrono::milliseconds kDefaultPeriod{2000};

  SimReader(std::shared_ptr<ReaderOutput> output,
            std::chrono::steady_clock::duration period = kDefaultPeriod)
      : Reader(std::move(output)), m_period(period) {}
  ~SimReader() override { Stop(); }

  // One presentation each: 10 hex digits of badge identifier, or empty for a
  // bad read.
  static const std::vector<std::string_view>& Sequence();

 protected:
  void Run() override;

 private:
  std::chrono::steady_clock::duration m_period;
};

}  // namespace tavrix
