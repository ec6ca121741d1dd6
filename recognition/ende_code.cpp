#include "ende_code.h"

#include <algorithm>
#include <array>

namespace {

constexpr int kMaxSymbolBits = 8;
constexpr int kMaxFieldMax = (1 << kMaxSymbolBits) - 1;

// Work arrays sized for the largest field, so that decoding allocates nothing.
using WorkBytes = std::array<std::uint8_t, kMaxFieldMax + 1>;

void ShiftUp(WorkBytes& poly, int top, std::uint8_t fill) {
  for (int i = top; i > 0; --i) poly[i] = poly[i - 1];
  poly[0] = fill;
}

}  // namespace

CEnDe_Code::CEnDe_Code(std::int32_t k, std::int32_t n, std::int32_t symbolBits_,
                       std::int32_t fieldPolynomial, std::int32_t firstRoot_,
                       std::int32_t primElement_, std::int32_t rootCount_)
    : dataCount(k), codeLength(n), symbolBits(symbolBits_) {
  if (symbolBits < 1 || symbolBits > kMaxSymbolBits) return;
  fieldMax = (1 << symbolBits) - 1;

  expTable.assign(fieldMax + 1, 0);
  logTable.assign(fieldMax + 1, 0);
  logTable[0] = static_cast<std::uint8_t>(fieldMax);
  expTable[fieldMax] = 0;
  int r = 1;
  for (int i = 0; i < fieldMax; ++i) {
    logTable[r] = static_cast<std::uint8_t>(i);
    expTable[i] = static_cast<std::uint8_t>(r);
    r <<= 1;
    if (r & (1 << symbolBits)) r ^= fieldPolynomial;
    r &= fieldMax;
  }

  rootCount = rootCount_;
  firstRoot = static_cast<std::uint8_t>(firstRoot_);
  primElement = static_cast<std::uint8_t>(primElement_);
  if (rootCount < 0 || rootCount > fieldMax || n < 1 || n > fieldMax || primElement == 0) return;
  // The Chien search steps by the inverse of the root step modulo fieldMax, which exists only
  // when the two are coprime.
  int j = 0;
  while (j < primElement && (1 + j * fieldMax) % primElement != 0) ++j;
  if (j == primElement) return;
  const int inverse = (1 + j * fieldMax) / primElement;
  if (inverse > 0xFF) return;
  primInverse = static_cast<std::uint8_t>(inverse);

  WorkBytes g{};
  g[0] = 1;
  int root = firstRoot * primElement;
  for (int i = 0; i < rootCount; ++i, root += primElement) {
    g[i + 1] = 1;
    for (int jj = i; jj > 0; --jj) {
      g[jj] = g[jj] != 0 ? g[jj - 1] ^ expTable[Mod(logTable[g[jj]] + root)] : g[jj - 1];
    }
    g[0] = expTable[Mod(logTable[g[0]] + root)];
  }
  generator.resize(rootCount + 1);
  for (int i = 0; i <= rootCount; ++i) generator[i] = logTable[g[i]];
  usable_ = true;
}

CEnDe_Code::~CEnDe_Code() = default;

bool CEnDe_Code::Syndromes(const std::uint8_t* word, std::span<std::uint8_t> s) const {
  const int nr = rootCount;
  for (int i = 0; i < nr; ++i) s[i] = word[0];
  for (int j = 1; j < codeLength; ++j) {
    for (int i = 0; i < nr; ++i) {
      s[i] = s[i] == 0 ? word[j] : word[j] ^ expTable[Mod(logTable[s[i]] + (firstRoot + i) * primElement)];
    }
  }
  return std::any_of(s.begin(), s.begin() + nr, [](std::uint8_t v) { return v != 0; });
}

int CEnDe_Code::Mod(int x) const {
  while (x >= fieldMax) {
    x -= fieldMax;
    x = (x >> symbolBits) + (x & fieldMax);
  }
  return x;
}

std::int32_t CEnDe_Code::Decode(std::uint8_t* codeword, std::int32_t* positions) const {
  if (!usable_ || codeword == nullptr) return -1;
  const int n = codeLength;
  const int nr = rootCount;
  const int a0 = fieldMax;
  // A byte above fieldMax is no symbol of the field: the word cannot be a codeword, and the
  // log table has no entry for it.
  for (int j = 0; j < n; ++j) {
    if (codeword[j] > fieldMax) return -1;
  }

  WorkBytes s{}, lambda{}, b{}, t{}, omega{}, rootIndex{}, reg{};
  std::array<int, kMaxFieldMax + 1> location{};

  if (!Syndromes(codeword, s)) return 0;
  for (int i = 0; i < nr; ++i) s[i] = logTable[s[i]];

  // Berlekamp-Massey: lambda in polynomial form, b in log form.
  lambda[0] = 1;
  for (int i = 0; i <= nr; ++i) b[i] = logTable[lambda[i]];
  int el = 0;
  for (int r = 1; r <= nr; ++r) {
    int d = 0;
    for (int i = 0; i < r; ++i) {
      if (lambda[i] != 0 && s[r - 1 - i] != a0) d ^= expTable[Mod(logTable[lambda[i]] + s[r - 1 - i])];
    }
    d = logTable[d];
    if (d == a0) {
      ShiftUp(b, nr, static_cast<std::uint8_t>(a0));
      continue;
    }
    t[0] = lambda[0];
    for (int i = 0; i < nr; ++i) {
      t[i + 1] = b[i] != a0 ? lambda[i + 1] ^ expTable[Mod(d + b[i])] : lambda[i + 1];
    }
    if (2 * el <= r - 1) {
      el = r - el;
      for (int i = 0; i <= nr; ++i) {
        b[i] = lambda[i] == 0 ? a0 : Mod(logTable[lambda[i]] - d + a0);
      }
    } else {
      ShiftUp(b, nr, static_cast<std::uint8_t>(a0));
    }
    lambda = t;
  }

  int degLambda = 0;
  for (int i = 0; i <= nr; ++i) {
    lambda[i] = logTable[lambda[i]];
    if (lambda[i] != a0) degLambda = i;
  }

  // Chien search over every power of alpha; k walks the matching codeword locations of the
  // unshortened code.
  reg = lambda;
  int count = 0;
  int k = primInverse - 1;
  for (int i = 1; i <= fieldMax; ++i, k = Mod(k + primInverse)) {
    int q = 1;
    for (int j = degLambda; j > 0; --j) {
      if (reg[j] != a0) {
        reg[j] = static_cast<std::uint8_t>(Mod(reg[j] + j));
        q ^= expTable[reg[j]];
      }
    }
    if (q != 0) continue;
    rootIndex[count] = static_cast<std::uint8_t>(i);
    location[count] = n - fieldMax + k;
    if (++count == degLambda) break;
  }
  if (count != degLambda) return -1;
  // A root in the shortened part names one of the leading symbols that are zero by
  // construction: no error pattern within the word explains the syndromes, so the word is not
  // a codeword plus correctable errors.
  for (int j = 0; j < count; ++j) {
    if (location[j] < 0) return -1;
  }

  int degOmega = 0;
  for (int i = 0; i < nr; ++i) {
    int tmp = 0;
    for (int j = std::min(degLambda, i); j >= 0; --j) {
      if (s[i - j] != a0 && lambda[j] != a0) tmp ^= expTable[Mod(s[i - j] + lambda[j])];
    }
    if (tmp != 0) degOmega = i;
    omega[i] = logTable[tmp];
  }
  omega[nr] = static_cast<std::uint8_t>(a0);

  // Forney, into a copy, so that a refusal leaves the caller's word as it came.
  WorkBytes corrected{};
  std::copy(codeword, codeword + n, corrected.begin());
  for (int j = count - 1; j >= 0; --j) {
    int num1 = 0;
    for (int i = degOmega; i >= 0; --i) {
      if (omega[i] != a0) num1 ^= expTable[Mod(omega[i] + i * rootIndex[j])];
    }
    const int num2 = expTable[Mod(rootIndex[j] * (firstRoot - 1) + fieldMax)];
    int den = 0;
    for (int i = std::min(degLambda, nr - 1) & ~1; i >= 0; i -= 2) {
      if (lambda[i + 1] != a0) den ^= expTable[Mod(lambda[i + 1] + i * rootIndex[j])];
    }
    if (den == 0) return -1;
    if (num1 != 0 && location[j] < n) {
      corrected[location[j]] ^=
          expTable[Mod(logTable[num1] + logTable[num2] + fieldMax - logTable[den])];
    }
  }

  // Beyond the code's reach the locator can have fewer roots than Berlekamp-Massey's register
  // length, and Forney then writes values that match no error pattern: the result is no
  // codeword. The caller would accept it by its count, so only a word that checks is returned.
  WorkBytes check{};
  if (Syndromes(corrected.data(), check)) return -1;

  std::copy(corrected.begin(), corrected.begin() + n, codeword);
  if (positions != nullptr) {
    for (int i = 0; i < count; ++i) positions[i] = location[i];
  }
  return count;
}
