#include "block_data.h"

#include <algorithm>

#include "bit_fields.h"
#include "codeword.h"

namespace orla {

BlockRows BlockRowShape(int symbols) {
  BlockRows rows;
  if (symbols < 0 || symbols > kBlockDataSymbols) return rows;
  const int full = symbols / 7;
  const int rest = symbols % 7;
  if (rest == 1 || rest == 2) {
    if (full == 0) return rows;
    for (int i = 0; i < full - 1; ++i) rows.lengths[rows.count++] = 7;
    rows.lengths[rows.count++] = (rest + 7) / 2;
    rows.lengths[rows.count++] = rest + 7 - (rest + 7) / 2;
    return rows;
  }
  for (int i = 0; i < full; ++i) rows.lengths[rows.count++] = 7;
  if (rest >= 3) rows.lengths[rows.count++] = rest;
  return rows;
}

}  // namespace orla

namespace {

constexpr int kHeaderSymbols = 6;

// Where the next payload symbol goes: symbol `at` of this block's reading, or once that is
// full, of the next block's. Symbols past the next block's end belong to no reading the
// caller keeps and are dropped.
class PayloadWriter {
 public:
  PayloadWriter(BlockReading& reading, BlockReading& next) : reading_(reading), next_(next) {}

  void MoveTo(int at) { at_ = at; }

  void Put(std::uint8_t value, int trust) {
    if (at_ >= orla::kBlockSymbols) {
      if (inNext_) return;
      inNext_ = true;
      at_ = 0;
    }
    BlockReading& target = inNext_ ? next_ : reading_;
    target.SetSymbol(at_, value);
    if (!target.IsPresent(at_)) {
      target.SetPresent(at_, true);
      ++target.symbolCount;
    }
    auto& trusts = inNext_ ? trust_.nextSymbols : trust_.symbols;
    trusts[at_] = static_cast<std::uint8_t>(std::min(trust, trust_.header));
    ++at_;
  }

  orla::ValueTrust& Trust() { return trust_; }

  // A failed row still takes up its positions: they stay absent.
  void Skip(int count) {
    at_ += count;
    if (at_ > orla::kBlockSymbols && !inNext_) {
      inNext_ = true;
      at_ -= orla::kBlockSymbols;
    }
  }

 private:
  BlockReading& reading_;
  BlockReading& next_;
  int at_ = 0;
  bool inNext_ = false;
  orla::ValueTrust trust_{};
};

}  // namespace

int DecodeBlockData(int bitCount, BlockReading& reading, std::span<const std::uint8_t> bits, BlockReading& next,
                    orla::ValueTrust* trust) {
  if (trust != nullptr) *trust = orla::ValueTrust{};
  reading = BlockReading{};
  next = BlockReading{};
  if (bitCount < 0 || bitCount > orla::kBlockDataBits || bits.size() < static_cast<std::size_t>(orla::kBlockDataBytes))
    return 1;
  const int symbols = (bitCount + 2) / 3;
  const orla::BlockRows rows = orla::BlockRowShape(symbols);
  if (rows.count == 0) return 1;

  std::array<std::uint8_t, orla::kBlockDataSymbols> work{};
  UnpackBitFields(bits.data(), 0, symbols, work.data());

  PayloadWriter writer(reading, next);
  int header = 0;
  int headerSymbols = 0;
  int rowStart = 0;
  for (int i = 0; i < rows.count; ++i) {
    const int n = rows.lengths[i];
    const int k = orla::CodewordDataSymbols(n);
    const std::span<std::uint8_t> row(work.data() + rowStart, static_cast<std::size_t>(n));
    rowStart += n;
    const int corrected = orla::CorrectCodeword(row);
    if (corrected < 0) {
      if (i < 2) return 1;
      writer.Skip(k);
      continue;
    }
    const int rowTrust = orla::CodewordTrust(n, corrected);
    int d = 0;
    if (i == 0) writer.Trust().header = rowTrust;
    if (i == 1) writer.Trust().header = std::min(writer.Trust().header, rowTrust);
    if (i < 2) {
      while (d < k && headerSymbols < kHeaderSymbols) {
        header = header * 8 + row[d++];
        if (++headerSymbols == kHeaderSymbols) {
          reading.blockNumber = (header >> 12) & 0x3F;
          reading.checkByte = static_cast<std::uint8_t>(header & 0xFF);
          writer.MoveTo((header >> 8) & 0xF);
        }
      }
      if (headerSymbols < kHeaderSymbols) continue;
    }
    for (; d < k; ++d) writer.Put(row[d], rowTrust);
  }
  if (trust != nullptr) *trust = writer.Trust();

  const bool numbered = reading.symbolCount > 0 && reading.blockNumber >= 0 && reading.blockNumber <= 99;
  return numbered || next.symbolCount > 0 ? 0 : 1;
}
