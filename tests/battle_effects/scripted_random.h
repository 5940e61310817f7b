// A random source for the effects' tests: the scripted numbers in order, then one number for
// ever.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

inline std::function<std::uint32_t()> Scripted(std::vector<std::uint32_t> numbers,
                                               std::uint32_t rest) {
  auto queue = std::make_shared<std::deque<std::uint32_t>>(numbers.begin(), numbers.end());
  return [queue, rest] {
    if (queue->empty()) {
      return rest;
    }
    const std::uint32_t next = queue->front();
    queue->pop_front();
    return next;
  };
}
