#include "damage_levels.h"

#include <cstdio>

#include "seeded_random.h"

namespace orla::pattern {
namespace {

// A quarter of an A4 page at 300 dpi: big enough for a few copies of every block, small
// enough to measure many pages.
constexpr int kPageWidth = 1240;
constexpr int kPageHeight = 1754;
// Specks are counted per A4 page, as a scanner's dust is; this page holds a quarter of one.
constexpr int kA4Quarters = 4;

std::string Digits(int value, int width) {
  char text[8];
  std::snprintf(text, sizeof text, "%0*d", width, value);
  return text;
}

std::string Drawn(SeededRandom& random, const std::string& alphabet, int shortest, int longest) {
  std::string text(static_cast<std::size_t>(shortest + random.Below(longest - shortest + 1)), ' ');
  for (char& c : text) c = alphabet[static_cast<std::size_t>(random.Below(static_cast<int>(alphabet.size())))];
  return text;
}

void DropDots(Damage& damage, int perBlock) { damage.dropDotsPerBlock = perBlock; }

// A turn to either side.
double Turn(SeededRandom& random, double degrees) { return random.Below(2) == 0 ? degrees : -degrees; }

}  // namespace

PatternRecord RandomRecord(SeededRandom& random) {
  const std::string upper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  const std::string hex = "0123456789ABCDEF";
  const std::string name = "abcdefghijklmnopqrstuvwxyz0123456789._-";
  const std::string printable =
      " !#$%&()+,-.0123456789;=@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]_abcdefghijklmnopqrstuvwxyz{}~";
  PatternRecord record;
  record.timeStamp = Digits(random.Below(100), 2) + Digits(1 + random.Below(12), 2) + Digits(1 + random.Below(28), 2) +
                     Digits(random.Below(24), 2) + Digits(random.Below(60), 2) + Digits(random.Below(60), 2);
  record.serialNumber = Drawn(random, upper, 6, 10);
  record.macAddress = Drawn(random, hex, 12, 12);
  record.userName = Drawn(random, name, 0, 20);
  record.jobName = Drawn(random, printable, 0, 64);
  record.description = Drawn(random, printable, 0, 32);
  return record;
}

const std::vector<DamageLevel>& DamageLevels() {
  static const std::vector<DamageLevel> levels = {
      {"none", [](Damage&, SeededRandom&) {}},
      {"2 dropped dots a block", [](Damage& d, SeededRandom&) { DropDots(d, 2); }},
      {"4 dropped dots a block", [](Damage& d, SeededRandom&) { DropDots(d, 4); }},
      {"6 dropped dots a block", [](Damage& d, SeededRandom&) { DropDots(d, 6); }},
      {"8 dropped dots a block", [](Damage& d, SeededRandom&) { DropDots(d, 8); }},
      {"10 dropped dots a block", [](Damage& d, SeededRandom&) { DropDots(d, 10); }},
      {"12 dropped dots a block", [](Damage& d, SeededRandom&) { DropDots(d, 12); }},
      {"10,000 specks an A4 page", [](Damage& d, SeededRandom&) { d.specks = 10000 / kA4Quarters; }},
      {"30,000 specks an A4 page", [](Damage& d, SeededRandom&) { d.specks = 30000 / kA4Quarters; }},
      {"salt and pepper 0.5%", [](Damage& d, SeededRandom&) { d.saltPepper = 0.005; }},
      {"salt and pepper 1%", [](Damage& d, SeededRandom&) { d.saltPepper = 0.01; }},
      {"blur", [](Damage& d, SeededRandom&) { d.blurPasses = 1; }},
      {"turned 0.5 degrees", [](Damage& d, SeededRandom& r) { d.turnDegrees = Turn(r, 0.5); }},
      {"turned 1 degree", [](Damage& d, SeededRandom& r) { d.turnDegrees = Turn(r, 1.0); }},
      {"turned 3 degrees", [](Damage& d, SeededRandom& r) { d.turnDegrees = Turn(r, 3.0); }},
      {"mild: turn, scale, blur, noise, 1-2 dropped dots",
       [](Damage& d, SeededRandom& r) {
         d.turnDegrees = Turn(r, 0.1 + 0.4 * r.Unit());
         d.scale = 0.99 + 0.02 * r.Unit();
         d.blurPasses = 1;
         d.greyNoise = 12;
         d.dropDotsPerBlock = 1 + r.Below(2);
       }},
  };
  return levels;
}

DamageCase MakeDamageCase(const DamageLevel& level, Compression compression, std::uint64_t seed) {
  SeededRandom random(seed * 0x9E3779B97F4A7C15ull + 0x0C0FFEEu);
  DamageCase made;
  made.record = RandomRecord(random);

  PatternOptions options;
  options.payload.compression = compression;
  options.shuffle = true;
  PageOptions& page = options.page;
  page.dpi = 300;
  page.lattice = random.Below(2) == 0 ? Lattice::Diagonal : Lattice::Axis;
  page.quarterTurns = random.Below(4);
  page.dotSize = 2;
  page.width = kPageWidth;
  page.height = kPageHeight;
  // Room for a turn of a few degrees to keep every block on the page.
  page.marginPitches = 12;
  page.seed = seed;
  level.apply(page.damage, random);

  const EncodedPattern once = EncodePattern(made.record, options);
  const TileGrid grid = TilesOnPage(page);
  page.columns = grid.columns;
  options.copies = once.blocks.empty() ? 1 : std::max<int>(1, grid.columns * grid.rows / static_cast<int>(once.blocks.size()));
  made.made = MakePatternPage(made.record, options);
  return made;
}

}  // namespace orla::pattern
