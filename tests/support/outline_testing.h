#pragma once
// Helpers for the tests of outline files and the object list: raw file bytes built field by
// field (for damaged files the writer refuses to produce), a plotter that records what it is
// asked to paint, and memory resources that fail or count.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <new>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "image/core/point_plotter.h"
#include "structures/core/outline_file.h"

namespace ostrelin::test {

// Outline file bytes, appended field by field.
class RawOutline {
 public:
  RawOutline& Bytes(std::string_view bytes) {
    data_.append(bytes);
    return *this;
  }
  RawOutline& Byte(int value) {
    data_.push_back(char(value));
    return *this;
  }
  RawOutline& Int16(int value) {
    const auto bits = std::uint16_t(std::int16_t(value));
    data_.push_back(char(bits & 0xFF));
    data_.push_back(char(bits >> 8));
    return *this;
  }
  RawOutline& Title(std::string_view title) {
    std::string field(title);
    field.resize(kOutlineTitleBytes, '\0');
    return Bytes(field);
  }
  // Number, length and name with its zero byte, first and last column.
  RawOutline& Head(int number, std::string_view name, int first, int last) {
    Byte(number).Int16(int(name.size()) + 1).Bytes(name).Byte(0);
    return Int16(first).Int16(last);
  }
  RawOutline& Column(std::initializer_list<OutlineRun> runs) {
    Int16(int(runs.size()));
    for (const OutlineRun& run : runs) AppendRun(data_, run);
    return *this;
  }
  const std::string& Data() const { return data_; }

 private:
  std::string data_;
};

struct VLine {
  int column;
  int from;
  int to;
  Bgr colour;
  friend bool operator==(const VLine&, const VLine&) = default;
};

class RecordingPlotter : public PointPlotter {
 public:
  void PlotPoints(Bgr colour, std::span<const ImagePoint> points) override {
    batches.push_back(points.size());
    colours.insert({colour.blue, colour.green, colour.red});
    for (const ImagePoint& p : points) {
      ++pointCount;
      this->points.insert({p.column, p.row});
    }
  }
  void DrawVLine(int column, int from, int to, Bgr colour) override {
    lines.push_back({column, from, to, colour});
  }

  std::set<std::pair<int, int>> points;  // (column, row)
  size_t pointCount = 0;                 // with repetitions
  std::vector<size_t> batches;
  std::set<std::vector<int>> colours;
  std::vector<VLine> lines;
};

// Refuses the n-th allocation (1-based), grants every other one.
class FailingResource : public std::pmr::memory_resource {
 public:
  explicit FailingResource(int failAt) : failAt_(failAt) {}
  int Allocations() const { return count_; }

 private:
  void* do_allocate(size_t bytes, size_t align) override {
    if (++count_ == failAt_) throw std::bad_alloc();
    return std::pmr::new_delete_resource()->allocate(bytes, align);
  }
  void do_deallocate(void* p, size_t bytes, size_t align) override {
    std::pmr::new_delete_resource()->deallocate(p, bytes, align);
  }
  bool do_is_equal(const memory_resource& other) const noexcept override { return this == &other; }

  int failAt_;
  int count_ = 0;
};

// Counts the bytes allocated through it.
class CountingResource : public std::pmr::memory_resource {
 public:
  size_t allocated = 0;
  size_t largest = 0;

 private:
  void* do_allocate(size_t bytes, size_t align) override {
    allocated += bytes;
    largest = std::max(largest, bytes);
    return std::pmr::new_delete_resource()->allocate(bytes, align);
  }
  void do_deallocate(void* p, size_t bytes, size_t align) override {
    std::pmr::new_delete_resource()->deallocate(p, bytes, align);
  }
  bool do_is_equal(const memory_resource& other) const noexcept override { return this == &other; }
};

}  // namespace ostrelin::test
