#pragma once
// Reed-Solomon codec over GF(2^m), m up to 8, one symbol per byte. The block decoder builds one
// for each codeword it reads (m 3, field polynomial 0xB, first root 1, primitive element 1) and
// corrects the word in place. The decoding is syndromes, Berlekamp-Massey, Chien search and
// Forney, in one fixed variant so that a received word always gives the same result.

#include <cstdint>
#include <span>
#include <vector>

class CEnDe_Code {
 public:
  CEnDe_Code(std::int32_t k, std::int32_t n, std::int32_t symbolBits, std::int32_t fieldPolynomial,
             std::int32_t firstRoot, std::int32_t primElement, std::int32_t rootCount);
  virtual ~CEnDe_Code();
  CEnDe_Code(const CEnDe_Code&) = delete;
  CEnDe_Code& operator=(const CEnDe_Code&) = delete;

  // Corrects the n symbols at `codeword` in place. Returns 0 when the word is a codeword, the
  // number c > 0 of error locations found (written to `positions`, which holds at least
  // `rootCount` entries, when it is not null), or -1 when the word cannot be corrected; a -1
  // leaves the word and `positions` untouched.
  std::int32_t Decode(std::uint8_t* codeword, std::int32_t* positions) const;

  std::int32_t dataCount = 0;
  std::int32_t codeLength = 0;
  std::int32_t symbolBits = 0;
  std::int32_t fieldMax = 0;               // 2^m - 1, also the log form of zero
  std::vector<std::uint8_t> expTable;      // alpha^i in polynomial form; [fieldMax] = 0
  std::vector<std::uint8_t> logTable;      // log of x; [0] = fieldMax
  std::vector<std::uint8_t> generator;     // log form, constant term first
  std::int32_t rootCount = 0;
  std::uint8_t firstRoot = 0;
  std::uint8_t primElement = 0;
  std::uint8_t primInverse = 0;

 private:
  int Mod(int x) const;
  // Fills s[0 .. rootCount - 1] with the word's syndromes in polynomial form; true when any is
  // not zero.
  bool Syndromes(const std::uint8_t* word, std::span<std::uint8_t> s) const;

  // False when the parameters describe no code these tables and work arrays can hold; such a
  // codec refuses every word.
  bool usable_ = false;
};
