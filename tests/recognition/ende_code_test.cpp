// The Reed-Solomon codec over GF(8) with the block format's codes.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ende_code.h"
#include "rs_gf8_encoder.h"

namespace {

using orla::test::EncodeGf8Codeword;
using orla::test::IsGf8Codeword;
using Word = std::vector<std::uint8_t>;

struct Code {
  int n;
  int k;
};
// Every codeword shape of the block format.
constexpr Code kBlockCodes[] = {{7, 3}, {6, 4}, {5, 3}, {4, 2}, {3, 1}};

CEnDe_Code MakeCodec(Code code) { return CEnDe_Code(code.k, code.n, 3, 0xB, 1, 1, code.n - code.k); }

Word DataWord(int index, int k) {
  Word data(k);
  for (int i = k - 1; i >= 0; --i, index >>= 3) data[i] = static_cast<std::uint8_t>(index & 7);
  return data;
}

int Power8(int e) { return 1 << (3 * e); }

std::string Show(const Word& word) {
  std::string text;
  for (std::uint8_t s : word) text += std::to_string(s) + " ";
  return text;
}

TEST(EnDeCodeTables, HoldTheFieldAndGeneratorOfTheRecognizersParameters) {
  CEnDe_Code four(3, 7, 3, 0xB, 1, 1, 4);
  EXPECT_EQ(four.fieldMax, 7);
  EXPECT_EQ(four.expTable, (Word{1, 2, 4, 3, 6, 7, 5, 0}));
  EXPECT_EQ(four.logTable, (Word{7, 0, 1, 3, 2, 6, 4, 5}));
  EXPECT_EQ(four.primInverse, 1);
  EXPECT_EQ(four.generator, (Word{3, 1, 0, 3, 0}));
  EXPECT_EQ(four.dataCount, 3);
  EXPECT_EQ(four.codeLength, 7);

  CEnDe_Code two(4, 6, 3, 0xB, 1, 1, 2);
  EXPECT_EQ(two.generator, (Word{3, 4, 0}));

  // A root step of 3 in GF(8): 3 * 5 = 15 = 1 + 2 * 7, so the Chien search steps by 5.
  CEnDe_Code stepped(3, 7, 3, 0xB, 1, 3, 4);
  EXPECT_EQ(stepped.primInverse, 5);
}

TEST(EnDeCodeDecode, KnownCodewordAndItsErrors) {
  const Word codeword{1, 2, 3, 0, 0, 1, 3};
  EXPECT_EQ(EncodeGf8Codeword({1, 2, 3}, 4), codeword);
  CEnDe_Code codec(3, 7, 3, 0xB, 1, 1, 4);

  Word word = codeword;
  std::array<std::int32_t, 4> positions{};
  EXPECT_EQ(codec.Decode(word.data(), positions.data()), 0);
  EXPECT_EQ(word, codeword);
  EXPECT_EQ(positions, (std::array<std::int32_t, 4>{}));

  word = codeword;
  word[1] ^= 5;
  word[5] ^= 1;
  EXPECT_EQ(codec.Decode(word.data(), positions.data()), 2);
  EXPECT_EQ(word, codeword);
  std::vector<std::int32_t> found(positions.begin(), positions.begin() + 2);
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, (std::vector<std::int32_t>{1, 5}));
}

TEST(EnDeCodeDecode, CorrectsEverySingleErrorInEveryDataWordOfEveryBlockCode) {
  for (Code code : kBlockCodes) {
    const CEnDe_Code codec = MakeCodec(code);
    for (int index = 0; index < Power8(code.k); ++index) {
      const Word codeword = EncodeGf8Codeword(DataWord(index, code.k), code.n - code.k);
      for (int at = 0; at < code.n; ++at) {
        for (std::uint8_t delta = 1; delta < 8; ++delta) {
          Word word = codeword;
          word[at] ^= delta;
          std::vector<std::int32_t> positions(code.n - code.k, -7);
          ASSERT_EQ(codec.Decode(word.data(), positions.data()), 1)
              << code.n << "/" << code.k << " word " << Show(codeword) << "error at " << at;
          ASSERT_EQ(word, codeword);
          ASSERT_EQ(positions[0], at);
        }
      }
    }
  }
}

// The four-root code corrects two errors: every pair of errors in every codeword is found and
// undone, so the refusals the decoder adds never touch a word within its reach.
TEST(EnDeCodeDecode, CorrectsEveryDoubleErrorOfTheFourRootCode) {
  const Code code{7, 3};
  const CEnDe_Code codec = MakeCodec(code);
  for (int index = 0; index < Power8(code.k); ++index) {
    const Word codeword = EncodeGf8Codeword(DataWord(index, code.k), code.n - code.k);
    for (int first = 0; first < code.n; ++first) {
      for (int second = first + 1; second < code.n; ++second) {
        for (std::uint8_t firstDelta = 1; firstDelta < 8; ++firstDelta) {
          for (std::uint8_t secondDelta = 1; secondDelta < 8; ++secondDelta) {
            Word word = codeword;
            word[first] ^= firstDelta;
            word[second] ^= secondDelta;
            std::array<std::int32_t, 4> positions{};
            ASSERT_EQ(codec.Decode(word.data(), positions.data()), 2)
                << "word " << Show(codeword) << "errors at " << first << " and " << second;
            ASSERT_EQ(word, codeword);
            std::vector<std::int32_t> found(positions.begin(), positions.begin() + 2);
            std::sort(found.begin(), found.end());
            ASSERT_EQ(found, (std::vector<std::int32_t>{first, second}));
          }
        }
      }
    }
  }
}

// Every word a block code can receive, codeword or not: whatever the caller accepts (a result c
// with 0 <= 2c <= n - k) is a codeword, reached by changing only reported positions, and a
// refusal leaves the word as it came.
TEST(EnDeCodeDecode, NeverAcceptsAWordThatIsNotACodeword) {
  for (Code code : kBlockCodes) {
    const CEnDe_Code codec = MakeCodec(code);
    const int parity = code.n - code.k;
    int accepted = 0;
    int refused = 0;
    std::array<std::uint8_t, 7> received{};
    for (int index = 0; index < Power8(code.n); ++index) {
      for (int i = code.n - 1, rest = index; i >= 0; --i, rest >>= 3) received[i] = static_cast<std::uint8_t>(rest & 7);
      std::array<std::uint8_t, 7> word = received;
      std::array<std::int32_t, 4> positions{-7, -7, -7, -7};
      const int result = codec.Decode(word.data(), positions.data());
      if (result < -1 || result > parity) FAIL() << "result " << result;
      if (result < 0) {
        if (word != received) FAIL() << "refused word changed: " << Show(Word(received.begin(), received.end()));
        ++refused;
        continue;
      }
      if (2 * result > parity) continue;
      ++accepted;
      const std::span<const std::uint8_t> corrected(word.data(), code.n);
      if (!IsGf8Codeword(corrected, parity)) {
        FAIL() << code.n << "/" << code.k << ": " << Show(Word(received.begin(), received.begin() + code.n))
               << "-> " << Show(Word(corrected.begin(), corrected.end())) << "result " << result;
      }
      for (int at = 0; at < code.n; ++at) {
        if (word[at] == received[at]) continue;
        if (std::find(positions.begin(), positions.begin() + result, at) == positions.begin() + result) {
          FAIL() << Show(Word(received.begin(), received.begin() + code.n)) << "changed at " << at;
        }
      }
    }
    EXPECT_GT(accepted, Power8(code.k));
    EXPECT_GT(refused, 0);
  }
}

TEST(EnDeCodeDecode, ErrorLocatedInTheShortenedPartIsRefused) {
  const Word codeword{1, 2, 3, 4, 4};
  ASSERT_EQ(EncodeGf8Codeword({1, 2, 3}, 2), codeword);
  CEnDe_Code codec(3, 5, 3, 0xB, 1, 1, 2);
  Word word = codeword;
  word[0] ^= 1;
  word[1] ^= 1;
  const Word received = word;
  std::array<std::int32_t, 2> positions{};
  EXPECT_EQ(codec.Decode(word.data(), positions.data()), -1);
  EXPECT_EQ(word, received);
  EXPECT_EQ(positions, (std::array<std::int32_t, 2>{}));
}

TEST(EnDeCodeDecode, RefusesWordsAndParametersOutsideTheField) {
  CEnDe_Code codec(3, 7, 3, 0xB, 1, 1, 4);
  Word word{1, 2, 3, 0, 0, 1, 8};
  EXPECT_EQ(codec.Decode(word.data(), nullptr), -1);
  EXPECT_EQ(word, (Word{1, 2, 3, 0, 0, 1, 8}));
  EXPECT_EQ(codec.Decode(nullptr, nullptr), -1);

  struct Bad {
    int k, n, bits, root, step, roots;
  };
  const Bad cases[] = {
      {3, 7, 0, 1, 1, 4},  {3, 7, 9, 1, 1, 4},  {3, 8, 3, 1, 1, 4},  {3, 0, 3, 1, 1, 4},
      {3, 7, 3, 1, 0, 4},  {3, 7, 3, 1, 7, 4},  {3, 7, 3, 1, 1, -1}, {3, 7, 3, 1, 1, 8},
  };
  for (const Bad& bad : cases) {
    CEnDe_Code odd(bad.k, bad.n, bad.bits, 0xB, bad.root, bad.step, bad.roots);
    Word any{1, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(odd.Decode(any.data(), nullptr), -1) << bad.bits << " " << bad.n << " " << bad.step;
    EXPECT_EQ(any, (Word{1, 0, 0, 0, 0, 0, 0}));
  }
}

TEST(EnDeCodeDecode, PositionsMayBeOmitted) {
  CEnDe_Code codec(3, 7, 3, 0xB, 1, 1, 4);
  Word word{1, 2, 3, 0, 0, 1, 3};
  word[6] ^= 2;
  EXPECT_EQ(codec.Decode(word.data(), nullptr), 1);
  EXPECT_EQ(word, (Word{1, 2, 3, 0, 0, 1, 3}));
}

}  // namespace
