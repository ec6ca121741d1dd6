#pragma once
// One line of a page as the row table holds it: a pointer to the line's first byte inside the
// page's pixel block. It owns nothing; the page frees the block and the table together.

#include <cstddef>
#include <cstdint>

namespace orla {

class PixelRow {
 public:
  PixelRow() = default;
  explicit PixelRow(std::uint8_t* bytes) : bytes_(bytes) {}

  std::uint8_t* get() const { return bytes_; }
  std::uint8_t& operator[](std::size_t x) const { return bytes_[x]; }
  void reset() { bytes_ = nullptr; }
  explicit operator bool() const { return bytes_ != nullptr; }
  friend bool operator==(const PixelRow& row, std::nullptr_t) { return row.bytes_ == nullptr; }

 private:
  std::uint8_t* bytes_ = nullptr;
};

}  // namespace orla
